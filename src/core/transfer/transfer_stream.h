#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace quill {

// A transfer's bytes as the connection carries them. Over Telnet data goes
// with IAC doubled (the decoder undoes that on the way in), and while
// BINARY is off in a direction a CR travels as CR NUL, as Telnet's rules for
// non-binary data want; over raw TCP the bytes pass as they are.
class TransferStream {
  public:
    // What goes to the host for `data`.
    static std::vector<std::uint8_t> ToHost(std::span<const std::uint8_t> data, bool telnet,
                                            bool binary);
    // The host's data (Telnet commands and doubled IACs already taken out):
    // without BINARY the NUL after a CR is dropped, also when the CR ended the
    // block before.
    void FromHost(std::span<const std::uint8_t> data, bool binary, std::vector<std::uint8_t>& out);

  private:
    bool afterCr_ = false;
};

}  // namespace quill
