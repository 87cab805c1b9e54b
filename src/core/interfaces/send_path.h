#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quill {

// The one way bytes leave for the server.
class SendPath {
  public:
    virtual ~SendPath() = default;
    virtual void SendBytes(const std::uint8_t* bytes, std::size_t length) = 0;
    void SendText(std::string_view text) {
        SendBytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    }
};

}  // namespace quill
