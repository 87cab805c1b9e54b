#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "core/interfaces/option_policy.h"
#include "core/interfaces/send_path.h"

namespace quill {

// Answers the server's option requests (DO, DONT, WILL, WONT) and its
// terminal-type request. The terminal type is always taken and ENCRYPT
// refused. NAWS, reporting the window size, and TRANSMIT-BINARY both ways are
// taken as the policy in force says; their state is kept for the connection,
// whatever the policy later becomes, so that an option that is on and is
// turned off gets one answer, a request for the state in force gets none, and
// no negotiation loops.
class OptionNegotiation {
  public:
    // The window size NAWS reports.
    OptionNegotiation(SendPath& send, int columns, int rows)
        : send_(send), columns_(columns), rows_(rows) {}

    // `command` is DO, DONT, WILL or WONT.
    void Request(std::uint8_t command, std::uint8_t option, const OptionPolicy& policy);
    // A subnegotiation: a terminal-type SEND is answered with `terminalType`.
    void Subnegotiation(std::uint8_t option, std::span<const std::uint8_t> data,
                        std::string_view terminalType);
    // The window has a new size: while NAWS is on, the host is told, but only
    // when the size differs from the one it has.
    void SetWindowSize(int columns, int rows);

  private:
    void Do(std::uint8_t option, const OptionPolicy& policy);
    void Dont(std::uint8_t option);
    void Will(std::uint8_t option, const OptionPolicy& policy);
    void Wont(std::uint8_t option);
    bool* OursFor(std::uint8_t option);
    void Reply(std::uint8_t command, std::uint8_t option);
    void SendWindowSize();

    SendPath& send_;
    int columns_;
    int rows_;
    bool naws_ = false;       // the client reports its window size
    bool binaryOut_ = false;  // the client sends binary
    bool binaryIn_ = false;   // the server sends binary
};

}  // namespace quill
