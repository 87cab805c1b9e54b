#pragma once

#include <string_view>

#include "core/interfaces/dialect_id.h"

namespace quill {

// The options the user switches while connected, and the terminal
// type and the history depth of the extended terminal. One object owns them
// (the program's settings); the engine only reads them, through this.
class TerminalOptions {
  public:
    virtual ~TerminalOptions() = default;
    // Text reaching the last column continues on the next row.
    virtual bool Wrap() const = 0;
    // Printable characters the user types are also shown on the screen.
    virtual bool LocalEcho() const = 0;
    // Enter sends CR LF before its own CR.
    virtual bool CRLFTranslation() const = 0;
    // Every received byte is also shown as its decimal value in brackets.
    virtual bool ShowCodes() const = 0;
    // The terminal type in use: the plain VT100 subset, the extended one
    // (every SGR parameter, UTF-8 text, xterm's keys, window size and binary
    // transmission) or the ANSI-BBS one (code page 437, 80 x 25).
    virtual DialectId ChosenDialect() const = 0;
    bool Plain() const { return ChosenDialect() == DialectId::kPlain; }
    bool Extended() const { return ChosenDialect() == DialectId::kExtended; }
    bool Bbs() const { return ChosenDialect() == DialectId::kBbs; }
    // The terminal type the extended terminal reports to the host.
    virtual std::string_view TerminalType() const = 0;
    // The history rows the extended terminal keeps.
    virtual int Scrollback() const = 0;
};

}  // namespace quill
