#pragma once

#include <cstdint>

#include "core/interfaces/send_path.h"

namespace quill {

// Answers the server's option requests (DO, DONT, WILL, WONT). The plain
// terminal takes only TERMINAL-TYPE and refuses ENCRYPT. The extended one also
// takes NAWS, reporting the window size, and TRANSMIT-BINARY both ways; their
// state is kept for the connection, so that an option that is on and is
// turned off gets one answer, a request for the state in force gets none, and
// no negotiation loops.
class OptionNegotiation {
  public:
    explicit OptionNegotiation(SendPath& send) : send_(send) {}

    // `command` is DO, DONT, WILL or WONT; `extended` the mode in force.
    void Request(std::uint8_t command, std::uint8_t option, bool extended);

  private:
    void Do(std::uint8_t option, bool extended);
    void Dont(std::uint8_t option);
    void Will(std::uint8_t option, bool extended);
    void Wont(std::uint8_t option);
    bool* OursFor(std::uint8_t option);
    void Reply(std::uint8_t command, std::uint8_t option);
    void SendWindowSize();

    SendPath& send_;
    bool naws_ = false;       // the client reports its window size
    bool binaryOut_ = false;  // the client sends binary
    bool binaryIn_ = false;   // the server sends binary
};

}  // namespace quill
