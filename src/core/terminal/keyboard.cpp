#include "core/terminal/keyboard.h"

#include <array>

#include "core/terminal/control_codes.h"
#include "core/terminal/utf8_codec.h"

namespace quill {

namespace {

constexpr char32_t kHighestSentCode = 128;
constexpr char32_t kFirstBeyondAscii = 0x80;

}  // namespace

Keyboard::Keyboard(const TerminalModes& modes, const TerminalOptions& options, SendPath& send,
                   LocalEchoTarget& echo)
    : modes_(modes), options_(options), send_(send), echo_(echo) {}

bool Keyboard::Press(const KeyPress& press, const Dialect& dialect) {
    if (press.key) {
        const std::optional<KeySequence> sequence =
            dialect.KeySequenceFor(*press.key, press.modifiers, modes_);
        if (sequence) {
            send_.SendBytes(sequence->bytes.data(), static_cast<std::size_t>(sequence->count));
            return true;
        }
    }
    if (!press.character) return false;
    if (press.modifiers.alt) {
        KeyboardSendChar(kEsc, dialect);
        KeyboardSendChar(*press.character, dialect);
        return true;
    }
    const bool enter = press.key == Key::kReturn || press.key == Key::kKeypadEnter;
    if (enter && options_.CRLFTranslation()) {
        static const std::uint8_t kCrLf[] = {'\r', '\n'};
        send_.SendBytes(kCrLf, sizeof kCrLf);
    }
    return KeyboardSendChar(*press.character, dialect);
}

// Without UTF-8 codes up to 128 go as one byte and the rest are dropped.
bool Keyboard::KeyboardSendChar(char32_t code, const Dialect& dialect) {
    if (code >= kFirstBeyondAscii && dialect.Properties().utf8) return SendUtf8(code);
    if (code > kHighestSentCode) return false;
    const auto byte = static_cast<std::uint8_t>(code);
    send_.SendBytes(&byte, 1);
    if (LocalEcho() && byte >= 0x20 && byte <= 0x7E) echo_.EchoByte(byte);
    return true;
}

// A character beyond ASCII as UTF-8, and as itself in a local echo.
bool Keyboard::SendUtf8(char32_t code) {
    std::array<std::uint8_t, 4> bytes{};
    const int count = EncodeUtf8(code, bytes);
    if (count == 0) return false;
    send_.SendBytes(bytes.data(), static_cast<std::size_t>(count));
    if (!LocalEcho()) return true;
    echo_.EchoCharacter(code);
    return true;
}

}  // namespace quill
