#pragma once

#include <cstdint>
#include <string_view>

#include "core/interfaces/send_path.h"
#include "core/terminal/control_sequence.h"
#include "core/terminal/screen_model.h"
#include "core/terminal/sequence_handler.h"
#include "core/terminal/terminal_modes.h"

namespace quill {

// Performs the sequences of ANSI-BBS art and BBS software, as ANSI.SYS and
// the BBS clients took them: the cursor, erasing, inserting and deleting,
// the saved cursor, the 16 colours with bold as the bright foreground and,
// with iCE colours (CSI ? 33 h), blink as the bright background, the status
// and attribute replies, and ANSI music announced to the input. Anything
// else does nothing.
class BbsDispatcher final : public SequenceHandler {
  public:
    BbsDispatcher(ScreenModel& screen, TerminalModes& modes, SendPath& send)
        : screen_(screen), modes_(modes), send_(send) {}

    void Escape(std::uint8_t final) override;
    void Control(const ControlSequence& sequence) override;
    // No character set but code page 437.
    void Designate(CharsetSlot, std::uint8_t) override {}
    void Hash(std::uint8_t) override {}
    void OperatingSystemCommand(std::string_view) override {}
    // CR, LF and HT act inside a sequence; the others are ignored there.
    void Execute(std::uint8_t b) override;

  private:
    void Plain(const ControlSequence& sequence);
    bool Cursor(const ControlSequence& sequence);
    bool Editing(const ControlSequence& sequence);
    void Renditions(const ControlSequence& sequence);
    void Rendition(int parameter);
    void ApplyPen();
    void DeviceStatus(int request);
    void SaveCursor();
    void RestoreCursor();

    ScreenModel& screen_;
    TerminalModes& modes_;
    SendPath& send_;
    // The rendition as SGR left it; the pen's colours follow from it.
    int foreground_ = -1;  // 0-7, or -1 for the default
    int background_ = -1;
    bool bold_ = false;
    bool blink_ = false;
    bool reverse_ = false;
    bool hidden_ = false;
    // Blink is the bright background (CSI ? 33 h), not blinking.
    bool iceColours_ = false;
};

}  // namespace quill
