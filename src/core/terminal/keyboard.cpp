#include "core/terminal/keyboard.h"

#include "core/terminal/key_tables.h"

namespace quill {

namespace {

constexpr std::uint16_t kHighestSentCode = 128;

}  // namespace

Keyboard::Keyboard(const EscapeInterpreter& escape, const KeyboardOptions& options, SendPath& send,
                   LocalEchoTarget& echo)
    : escape_(escape), options_(options), send_(send), echo_(echo) {}

int Keyboard::KeyboardTranslateKey(std::uint16_t keyCode) {
    const KeyTable& table = escape_.CursorKeyMode() == 1 ? kApplicationKeyTable : kNormalKeyTable;
    if (keyCode == vk::kReturn && options_.CRLFTranslation()) {
        static const std::uint8_t kCrLf[] = {'\r', '\n'};
        send_.SendBytes(kCrLf, sizeof kCrLf);
    }
    for (const KeyTableRow& row : table) {
        if (row.keyCode == 0) break;
        if (row.keyCode == keyCode) {
            send_.SendBytes(row.output.data(), static_cast<std::size_t>(row.count));
            return 0;
        }
    }
    return 1;
}

int Keyboard::KeyboardSendChar(std::uint16_t code) {
    if (code > kHighestSentCode) return 1;
    const auto byte = static_cast<std::uint8_t>(code);
    send_.SendBytes(&byte, 1);
    if (options_.LocalEcho() && byte >= 0x20 && byte <= 0x7E) echo_.EchoByte(byte);
    return 0;
}

}  // namespace quill
