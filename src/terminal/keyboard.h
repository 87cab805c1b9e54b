#pragma once

#include <cstdint>

#include "net/send_path.h"
#include "terminal/escape_interpreter.h"
#include "terminal/screen_model.h"

namespace quill {

// The two user settings keyboard translation reads at every key.
class KeyboardOptions {
  public:
    virtual ~KeyboardOptions() = default;
    virtual bool CRLFTranslation() const = 0;
    virtual bool LocalEcho() const = 0;
};

// Turns key-down and character notifications into bytes for the host.
class Keyboard {
  public:
    Keyboard(const EscapeInterpreter& escape, const KeyboardOptions& options, SendPath& send,
             ScreenModel& screen);

    // Key-down path: 0 when a table row matched and was sent, 1 otherwise.
    int KeyboardTranslateKey(std::uint16_t keyCode);
    // Character path: 0 when the byte was sent, 1 when it was dropped.
    int KeyboardSendChar(std::uint16_t code);

  private:
    const EscapeInterpreter& escape_;
    const KeyboardOptions& options_;
    SendPath& send_;
    ScreenModel& screen_;
};

}  // namespace quill
