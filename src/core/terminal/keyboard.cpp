#include "core/terminal/keyboard.h"

#include <array>

#include "core/terminal/control_codes.h"
#include "core/terminal/cp437.h"
#include "core/text/utf8_codec.h"

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
    // ESC or CR LF in front, then the character: one send for the key.
    CharacterBytes bytes;
    const bool enter = press.key == Key::kReturn || press.key == Key::kKeypadEnter;
    if (press.modifiers.alt) {
        bytes.Append(kEsc);
    } else if (enter && options_.CRLFTranslation()) {
        bytes.Append('\r');
        bytes.Append('\n');
    }
    const int prefix = bytes.count;
    const bool coded = Encode(*press.character, dialect, bytes);
    if (bytes.count > 0) send_.SendBytes(bytes.bytes.data(), static_cast<std::size_t>(bytes.count));
    if (coded) Echo(*press.character, bytes.count - prefix);
    return coded || press.modifiers.alt;
}

bool Keyboard::KeyboardSendChar(char32_t code, const Dialect& dialect) {
    CharacterBytes bytes;
    if (!Encode(code, dialect, bytes)) return false;
    send_.SendBytes(bytes.bytes.data(), static_cast<std::size_t>(bytes.count));
    Echo(code, bytes.count);
    return true;
}

// Without UTF-8 codes up to 128 go as one byte and the rest are dropped; in
// code page 437 the rest go as their byte there, if they have one.
bool Keyboard::Encode(char32_t code, const Dialect& dialect, CharacterBytes& bytes) {
    if (code >= kFirstBeyondAscii && dialect.Properties().cp437) {
        const std::optional<std::uint8_t> b = Cp437HighByte(code);
        if (b) bytes.Append(*b);
        return b.has_value();
    }
    if (code >= kFirstBeyondAscii && dialect.Properties().utf8) {
        std::array<std::uint8_t, 4> utf8{};
        const int count = EncodeUtf8(code, utf8);
        for (int i = 0; i < count; ++i) bytes.Append(utf8[static_cast<std::size_t>(i)]);
        return count > 0;
    }
    if (code > kHighestSentCode) return false;
    bytes.Append(static_cast<std::uint8_t>(code));
    return true;
}

// Local echo: a printable ASCII byte as the host would have sent it, a
// character beyond ASCII as itself.
void Keyboard::Echo(char32_t code, int byteCount) {
    if (!LocalEcho()) return;
    if (byteCount > 1) {
        echo_.EchoCharacter(code);
    } else if (code >= 0x20 && code <= 0x7E) {
        echo_.EchoByte(static_cast<std::uint8_t>(code));
    }
}

}  // namespace quill
