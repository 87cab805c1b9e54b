#pragma once

#include <cstdint>
#include <span>

#include "core/interfaces/send_path.h"
#include "core/interfaces/terminal_options.h"
#include "core/terminal/escape_interpreter.h"
#include "core/terminal/key_tables.h"
#include "core/terminal/screen_model.h"

namespace quill {

// Where local echo shows the printable characters the user types.
class LocalEchoTarget {
  public:
    virtual ~LocalEchoTarget() = default;
    virtual void EchoByte(std::uint8_t b) = 0;
};

// Local echo onto the terminal screen, as if the host had sent the byte.
class ScreenEcho final : public LocalEchoTarget {
  public:
    explicit ScreenEcho(ScreenModel& screen) : screen_(screen) {}
    void EchoByte(std::uint8_t b) override { screen_.ScreenWriteByte(b); }

  private:
    ScreenModel& screen_;
};

// Turns key-down and character notifications into bytes for the host.
class Keyboard {
  public:
    // Reads CR/LF translation, local echo and the extended option at every key.
    Keyboard(const EscapeInterpreter& escape, const TerminalOptions& options, SendPath& send,
             LocalEchoTarget& echo);

    // Key-down path: true when a key-table row matched and was sent.
    bool KeyboardTranslateKey(std::uint16_t keyCode);
    // Character path, one character (not a UTF-16 unit): true when it was
    // sent, false when it was dropped.
    bool KeyboardSendChar(char32_t code);

  private:
    bool SendFromTable(std::span<const KeyTableRow> rows, std::uint16_t keyCode);
    bool SendUtf8(char32_t code);

    const EscapeInterpreter& escape_;
    const TerminalOptions& options_;
    SendPath& send_;
    LocalEchoTarget& echo_;
};

}  // namespace quill
