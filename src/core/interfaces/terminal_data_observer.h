#pragma once

#include <cstdint>

namespace quill {

// Told of the bytes the terminal takes as its own, in the order they came:
// what the host sent once Telnet commands are taken out and compressed data
// is inflated, escape sequences and all. Set on the terminal; none by default.
class TerminalDataObserver {
  public:
    virtual ~TerminalDataObserver() = default;
    virtual void OnTerminalData(const std::uint8_t* bytes, int count) = 0;
};

}  // namespace quill
