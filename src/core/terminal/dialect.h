#pragma once

#include "core/interfaces/option_policy.h"

namespace quill {

// What sets one terminal type apart from the other. The plain terminal is
// the VT100 subset; the extended one is xterm-like: every rendition
// parameter, UTF-8 both ways, strings, deferred wrap, xterm's keys, window
// size, binary transmission, the terminal type the user set and a screen
// that resizes. The terminal
// holds one of the two and changes it when the user switches.
struct Dialect {
    // Bytes from 0x80 are UTF-8 text, and characters beyond ASCII go out as
    // UTF-8; or such bytes are ignored and such characters dropped.
    bool utf8;
    // ESC ] (OSC), ESC P, ESC X, ESC ^ and ESC _ open a string that runs to
    // BEL or ST and is taken whole; or those bytes end the sequence at once.
    bool strings;
    // With wrap on (the Wrap option; with xterm's controls, auto-wrap), a
    // character written in the last column leaves the cursor there, and the
    // next printable character wraps first; or the cursor wraps at once.
    bool deferredWrap;
    // Control sequences are collected with xterm's grammar (private markers,
    // intermediates, colon sub-parameters, control bytes acted on inside)
    // and performed as xterm does (XtermDispatcher: every rendition
    // parameter in order, erasing to the line's ends, margins, modes); or
    // with the plain terminal's quirks (the first rendition parameter only,
    // as bold or reverse; line erasing short of the last column).
    bool xtermControls;
    OptionPolicy options;
    // The keys send xterm's sequences, with modifiers and the keypad
    // (XtermKey); or the VT100 key tables, whatever the modifiers.
    bool xtermKeys;
    // The grid follows the window, with the history rows the user set; or it
    // stays 80 x 24 with 275 history rows.
    bool resizable;
};

extern const Dialect kPlainTerminal;
extern const Dialect kExtendedTerminal;

}  // namespace quill
