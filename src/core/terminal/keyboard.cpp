#include "core/terminal/keyboard.h"

#include "core/terminal/key_tables.h"

namespace quill {

namespace {

constexpr std::uint16_t kHighestSentCode = 128;

}  // namespace

Keyboard::Keyboard(const EscapeInterpreter& escape, const TerminalOptions& options, SendPath& send,
                   LocalEchoTarget& echo)
    : escape_(escape), options_(options), send_(send), echo_(echo) {}

bool Keyboard::KeyboardTranslateKey(std::uint16_t keyCode) {
    const KeyTable& table = escape_.CursorKeyMode() == 1 ? kApplicationKeyTable : kNormalKeyTable;
    if (keyCode == vk::kReturn && options_.CRLFTranslation()) {
        static const std::uint8_t kCrLf[] = {'\r', '\n'};
        send_.SendBytes(kCrLf, sizeof kCrLf);
    }
    for (const KeyTableRow& row : table) {
        if (row.keyCode == 0) break;
        if (row.keyCode == keyCode) {
            send_.SendBytes(row.output.data(), static_cast<std::size_t>(row.count));
            return true;
        }
    }
    return false;
}

bool Keyboard::KeyboardSendChar(std::uint16_t code) {
    if (code > kHighestSentCode) return false;
    const auto byte = static_cast<std::uint8_t>(code);
    send_.SendBytes(&byte, 1);
    if (options_.LocalEcho() && byte >= 0x20 && byte <= 0x7E) echo_.EchoByte(byte);
    return true;
}

}  // namespace quill
