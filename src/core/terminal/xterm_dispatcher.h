#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/interfaces/send_path.h"
#include "core/interfaces/terminal_services.h"
#include "core/terminal/control_sequence.h"
#include "core/terminal/dialect.h"
#include "core/terminal/screen_model.h"
#include "core/terminal/sequence_handler.h"
#include "core/terminal/terminal_modes.h"

namespace quill {

// Performs escape sequences as xterm does, for the extended terminal: the
// cursor, erasing and editing, scrolling and margins, modes, resets,
// renditions, character sets, replies and the OSC strings. Sequences xterm
// does not know, and window operations but the title stack, do nothing.
class XtermDispatcher final : public SequenceHandler {
  public:
    explicit XtermDispatcher(const DialectParts& parts)
        : screen_(parts.screen),
          modes_(parts.modes),
          send_(parts.send),
          services_(parts.services),
          columns_(parts.columns) {}

    void Escape(std::uint8_t final) override;
    void Control(const ControlSequence& sequence) override;
    // ESC ( A and ESC ) A: the UK set; ESC - A: Latin-1 as G1.
    void Designate(CharsetSlot slot, std::uint8_t b) override;
    void Designate96(CharsetSlot slot, std::uint8_t b) override;
    // CR, LF, VT, FF and HT act; the others are ignored.
    void Execute(std::uint8_t b) override;
    void Hash(std::uint8_t b) override;
    void OperatingSystemCommand(std::string_view text) override;

  private:
    void Plain(const ControlSequence& sequence);
    bool Cursor(const ControlSequence& sequence);
    bool Editing(const ControlSequence& sequence);
    void Private(const ControlSequence& sequence);
    void Modes(const ControlSequence& sequence);
    void PrivateMode(int mode, bool on);
    void AlternateScreen(int mode, bool on);
    void ColumnMode(bool wide);
    void Renditions(const ControlSequence& sequence);
    void SaveCursor();
    void RestoreCursor();
    void FullReset();
    void SoftReset();
    void CursorStyleRequest(int style);
    void DeviceStatus(int request);
    void TitleStack(const ControlSequence& sequence);
    void SetTitle(std::string_view title);
    void SetColours(std::string_view list);
    void ResetColours(std::string_view list);
    void Hyperlink(std::string_view text);

    ScreenModel& screen_;
    TerminalModes& modes_;
    SendPath& send_;
    TerminalServices& services_;
    ColumnSwitch& columns_;
    // The titles pushed (CSI 22 t): each the one the window showed.
    std::vector<std::string> titles_;
};

}  // namespace quill
