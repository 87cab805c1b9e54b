#pragma once

namespace quill {

// Whether the terminal is inside an escape sequence: the Telnet decoder asks
// at every IAC, because an IAC inside a sequence is the terminal's byte (it
// ends the sequence) and not the start of a command.
class EscapeSequenceState {
  public:
    virtual ~EscapeSequenceState() = default;
    virtual bool EscapeSequenceOpen() const = 0;
};

}  // namespace quill
