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

// A send path that drops everything: benchmarks.
class NullSend final : public SendPath {
  public:
    void SendBytes(const std::uint8_t*, std::size_t) override {}
};

}  // namespace quill
