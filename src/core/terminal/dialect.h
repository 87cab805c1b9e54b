#pragma once

#include <span>

#include "core/interfaces/option_policy.h"
#include "core/terminal/key_tables.h"

namespace quill {

// What sets one terminal type apart from the other. The plain terminal is
// the VT100 subset; the extended one is xterm-like: every rendition
// parameter, UTF-8 both ways, strings, deferred wrap, xterm's keys, window
// size, binary transmission, the terminal type the user set and a screen
// that resizes. The terminal
// holds one of the two and changes it when the user switches.
struct Dialect {
    // A rendition sequence acts as xterm's, every parameter kept in order,
    // with colours and combining attributes; or with the first only, as
    // bold or reverse.
    bool xtermRenditions;
    // Bytes from 0x80 are UTF-8 text, and characters beyond ASCII go out as
    // UTF-8; or such bytes are ignored and such characters dropped.
    bool utf8;
    // ESC ] (OSC), ESC P, ESC X, ESC ^ and ESC _ open a string that runs to
    // BEL or ST and is taken whole; or those bytes end the sequence at once.
    bool strings;
    // With wrap on, a character written in the last column leaves the cursor
    // there, and the next printable character wraps first; or the cursor
    // wraps at once.
    bool deferredWrap;
    // Erasing within a line reaches the last column and includes the cursor's
    // cell when erasing from the start; or it stops short of both.
    bool eraseToLineEnds;
    OptionPolicy options;
    // The keys the key-down path sends, in normal and in application
    // cursor-key mode.
    std::span<const KeyTableRow> normalKeys;
    std::span<const KeyTableRow> applicationKeys;
    // The grid follows the window, with the history rows the user set; or it
    // stays 80 x 24 with 275 history rows.
    bool resizable;
};

extern const Dialect kPlainTerminal;
extern const Dialect kExtendedTerminal;

}  // namespace quill
