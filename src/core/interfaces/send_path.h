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
    // Bytes that should leave no copy behind (a password): a path that can
    // hand them to the system without keeping them in a buffer of its own
    // does so; the caller overwrites its own copy.
    virtual void SendSecret(const std::uint8_t* bytes, std::size_t length) {
        SendBytes(bytes, length);
    }
    void SendText(std::string_view text) {
        SendBytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    }
};

}  // namespace quill
