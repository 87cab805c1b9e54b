#pragma once

#include <cstddef>
#include <cstdint>

namespace quill {

// The one way bytes leave for the server.
class SendPath {
  public:
    virtual ~SendPath() = default;
    virtual void SendBytes(const std::uint8_t* bytes, std::size_t length) = 0;
};

}  // namespace quill
