#pragma once

#include <array>
#include <cstdint>

#include "core/interfaces/key.h"
#include "core/interfaces/send_path.h"
#include "core/interfaces/terminal_options.h"
#include "core/terminal/dialect.h"
#include "core/terminal/screen_model.h"
#include "core/terminal/terminal_modes.h"

namespace quill {

// Where local echo shows the printable characters the user types.
class LocalEchoTarget {
  public:
    virtual ~LocalEchoTarget() = default;
    virtual void EchoByte(std::uint8_t b) = 0;
    virtual void EchoCharacter(char32_t c) = 0;
};

// Local echo onto the terminal screen, as if the host had sent the byte.
class ScreenEcho final : public LocalEchoTarget {
  public:
    explicit ScreenEcho(ScreenModel& screen) : screen_(screen) {}
    void EchoByte(std::uint8_t b) override { screen_.ScreenWriteByte(b); }
    void EchoCharacter(char32_t c) override { screen_.PlaceCharacter(c); }

  private:
    ScreenModel& screen_;
};

// Turns key presses and characters into bytes for the host.
class Keyboard {
  public:
    // Reads the cursor-key mode, CR/LF translation and local echo at every key.
    Keyboard(const TerminalModes& modes, const TerminalOptions& options, SendPath& send,
             LocalEchoTarget& echo);

    // One key press: the key's own sequence in the dialect, if it has one
    // (its character is then not sent); else with Alt, ESC and the
    // character (Alt as Meta); else the character, after CR LF for Enter
    // when the option asks for it. True when anything was sent.
    bool Press(const KeyPress& press, const Dialect& dialect);
    // One character (not a UTF-16 unit): true when it was sent, false when
    // it was dropped.
    bool KeyboardSendChar(char32_t code, const Dialect& dialect);
    // While the host echoes, there is no local echo, whatever the option.
    void SetHostEchoes(bool echoes) { hostEchoes_ = echoes; }

  private:
    // The bytes of one key: ESC or CR LF, then a character of up to four.
    struct CharacterBytes {
        std::array<std::uint8_t, 6> bytes{};
        int count = 0;
        void Append(std::uint8_t b) { bytes[static_cast<std::size_t>(count++)] = b; }
    };
    bool Encode(char32_t code, const Dialect& dialect, CharacterBytes& bytes);
    void Echo(char32_t code, int byteCount);
    bool LocalEcho() const { return options_.LocalEcho() && !hostEchoes_; }

    const TerminalModes& modes_;
    const TerminalOptions& options_;
    SendPath& send_;
    LocalEchoTarget& echo_;
    bool hostEchoes_ = false;
};

}  // namespace quill
