#pragma once

#include <cstdint>
#include <string>

#include "core/interfaces/key.h"
#include "core/interfaces/mouse_event.h"
#include "core/terminal/terminal_modes.h"

namespace quill {

// Turns mouse events into xterm's reports while the host asks for them
// (TerminalModes::Mouse). ?9 reports presses of the three buttons, without
// modifiers; ?1000 presses, releases and the wheel; ?1002 also moves while a
// button is held; ?1003 every move. The button code is xterm's: 0 to 2 for
// the buttons, 3 for a release (in ?1006 the button and a final 'm'), 64 and
// 65 for the wheel, plus 32 for a move, 4 for Shift, 8 for Alt and 16 for
// Ctrl. Without ?1006 it goes as ESC [ M and three bytes of 32 plus the
// code, the column and the row (1-based); a position beyond 223, which no
// byte can carry, is sent as 0, as xterm does.
class MouseReporter {
  public:
    // The report for the host; empty when the mode in force does not report
    // the event. A move is reported only when it reaches another cell.
    std::string Report(const MouseEvent& event, const TerminalModes& modes);

  private:
    bool Reported(const MouseEvent& event, MouseTracking tracking) const;

    int lastColumn_ = -1;
    int lastRow_ = -1;
};

}  // namespace quill
