#pragma once

#include <cstdint>
#include <string_view>

#include "core/interfaces/send_path.h"
#include "core/interfaces/terminal_services.h"
#include "core/terminal/control_sequence.h"
#include "core/terminal/screen_model.h"
#include "core/terminal/sequence_handler.h"
#include "core/terminal/terminal_modes.h"

namespace quill {

// Performs escape sequences as the plain terminal does, chosen by their
// final byte: the VT100 subset with its quirks (the first rendition
// parameter only, line erasing short of the last column).
class Vt100Dispatcher final : public SequenceHandler {
  public:
    Vt100Dispatcher(ScreenModel& screen, TerminalModes& modes, SendPath& send,
                    TerminalServices& services)
        : screen_(screen), modes_(modes), send_(send), services_(services) {}

    void Escape(std::uint8_t final) override;
    // With two (or more) parameters only cursor position, rendition and
    // region act.
    void Control(const ControlSequence& sequence) override;
    void Designate(CharsetSlot slot, std::uint8_t b) override { modes_.DesignateNamed(slot, b); }
    void Hash(std::uint8_t b) override;
    void OperatingSystemCommand(std::string_view text) override;
    // The plain grammar hands no control byte on from inside a sequence.
    void Execute(std::uint8_t) override {}

  private:
    void Renditions(const ControlSequence& sequence);
    void CursorPosition(const ControlSequence& sequence);
    void Region(const ControlSequence& sequence);
    void EraseInDisplay(int mode);
    void EraseInLine(int mode);

    ScreenModel& screen_;
    TerminalModes& modes_;
    SendPath& send_;
    TerminalServices& services_;
};

}  // namespace quill
