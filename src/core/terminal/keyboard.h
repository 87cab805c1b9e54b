#pragma once

#include <cstdint>

#include "core/interfaces/send_path.h"
#include "core/terminal/escape_interpreter.h"
#include "core/terminal/screen_model.h"

namespace quill {

// The two user settings keyboard translation reads at every key.
class KeyboardOptions {
  public:
    virtual ~KeyboardOptions() = default;
    virtual bool CRLFTranslation() const = 0;
    virtual bool LocalEcho() const = 0;
};

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
    Keyboard(const EscapeInterpreter& escape, const KeyboardOptions& options, SendPath& send,
             LocalEchoTarget& echo);

    // Key-down path: 0 when a table row matched and was sent, 1 otherwise.
    int KeyboardTranslateKey(std::uint16_t keyCode);
    // Character path: 0 when the byte was sent, 1 when it was dropped.
    int KeyboardSendChar(std::uint16_t code);

  private:
    const EscapeInterpreter& escape_;
    const KeyboardOptions& options_;
    SendPath& send_;
    LocalEchoTarget& echo_;
};

}  // namespace quill
