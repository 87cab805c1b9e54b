#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "core/interfaces/send_path.h"
#include "core/interfaces/terminal_services.h"
#include "core/terminal/dialect.h"
#include "core/terminal/screen_model.h"
#include "core/terminal/terminal_modes.h"

namespace quill {

// A control sequence as collected: ESC [, parameters, final byte.
struct ControlSequence {
    static constexpr int kMaxParameters = 16;
    // A parameter that received no digit is 0.
    std::array<int, kMaxParameters> parameters{};
    // Parameters begun: one more than kMaxParameters once a later one began.
    int count = 1;
    std::uint8_t final = 0;
};

// Performs complete escape sequences on the screen and the terminal's modes,
// chosen by their final byte.
class SequenceDispatcher {
  public:
    SequenceDispatcher(ScreenModel& screen, TerminalModes& modes, SendPath& send,
                       TerminalServices& services)
        : screen_(screen), modes_(modes), send_(send), services_(services) {}

    // The dialect in force decides how rendition parameters count.
    void SetDialect(const Dialect& dialect) { dialect_ = &dialect; }

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

  private:
    void Renditions(const ControlSequence& sequence);
    void CursorPosition(const ControlSequence& sequence);
    void EraseInDisplay(int mode);
    void EraseInLine(int mode);

    ScreenModel& screen_;
    TerminalModes& modes_;
    SendPath& send_;
    TerminalServices& services_;
    const Dialect* dialect_ = &kPlainTerminal;
};

}  // namespace quill
