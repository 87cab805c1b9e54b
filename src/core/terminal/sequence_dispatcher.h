#pragma once

#include <cstdint>
#include <string_view>

#include "core/interfaces/send_path.h"
#include "core/interfaces/terminal_services.h"
#include "core/terminal/control_sequence.h"
#include "core/terminal/dialect.h"
#include "core/terminal/screen_model.h"
#include "core/terminal/terminal_modes.h"
#include "core/terminal/xterm_dispatcher.h"

namespace quill {

// Performs complete escape sequences on the screen and the terminal's modes,
// chosen by their final byte.
class SequenceDispatcher {
  public:
    SequenceDispatcher(ScreenModel& screen, TerminalModes& modes, SendPath& send,
                       TerminalServices& services)
        : screen_(screen),
          modes_(modes),
          send_(send),
          services_(services),
          xterm_(screen, modes, send, services) {}

    // The dialect in force decides whether xterm's dispatcher performs the
    // sequences instead. A switch starts the character sets afresh, G1 as
    // the dialect has it.
    void SetDialect(const Dialect& dialect) {
        xtermControls_ = dialect.xtermControls;
        screen_.SetXtermEditing(xtermControls_);
        modes_.ResetCharsets(xtermControls_ ? kCharsetPlain : kCharsetLineDrawing);
    }

    // ESC and one byte.
    void Escape(std::uint8_t final);
    // ESC [ parameters final.
    void Control(const ControlSequence& sequence);
    // ESC ( and ESC ) with their byte.
    void Designate(CharsetSlot slot, std::uint8_t b);
    // ESC # and its byte.
    void Hash(std::uint8_t b);
    // ESC ] text BEL (or ST): a number, ';' and its text.
    void OperatingSystemCommand(std::string_view text);
    // A control byte inside a sequence, in xterm's grammar.
    void Execute(std::uint8_t b) { xterm_.Execute(b); }

  private:
    void Renditions(const ControlSequence& sequence);
    void CursorPosition(const ControlSequence& sequence);
    void EraseInDisplay(int mode);
    void EraseInLine(int mode);

    ScreenModel& screen_;
    TerminalModes& modes_;
    SendPath& send_;
    TerminalServices& services_;
    bool xtermControls_ = false;
    XtermDispatcher xterm_;
};

}  // namespace quill
