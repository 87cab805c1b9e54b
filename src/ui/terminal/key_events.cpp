#include "ui/terminal/key_events.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QList>
#include <array>
#include <utility>

namespace quill {

namespace {

constexpr std::uint16_t kBackspace = 8;
constexpr std::uint16_t kTab = 9;
constexpr std::uint16_t kCarriageReturn = 13;
constexpr std::uint16_t kEscape = 27;
constexpr std::uint16_t kSpace = 32;
constexpr std::uint16_t kDelete = 127;

// The keys that have no character of their own, and those whose character
// is all they send.
constexpr std::array<std::pair<int, Key>, 20> kKeys{{
    {Qt::Key_Backspace, Key::kBackspace},
    {Qt::Key_Tab, Key::kTab},
    {Qt::Key_Backtab, Key::kTab},
    {Qt::Key_Return, Key::kReturn},
    {Qt::Key_Enter, Key::kKeypadEnter},
    {Qt::Key_Clear, Key::kBegin},
    {Qt::Key_Shift, Key::kShift},
    {Qt::Key_Control, Key::kControl},
    {Qt::Key_Escape, Key::kCharacterOnly},
    {Qt::Key_PageUp, Key::kPageUp},
    {Qt::Key_PageDown, Key::kPageDown},
    {Qt::Key_End, Key::kEnd},
    {Qt::Key_Home, Key::kHome},
    {Qt::Key_Left, Key::kLeft},
    {Qt::Key_Up, Key::kUp},
    {Qt::Key_Right, Key::kRight},
    {Qt::Key_Down, Key::kDown},
    {Qt::Key_Insert, Key::kInsert},
    {Qt::Key_Delete, Key::kDelete},
    {Qt::Key_Space, Key::kCharacterOnly},
}};

// The keypad's operators, told from the main keyboard's by Qt's keypad flag.
constexpr std::array<std::pair<int, Key>, 4> kKeypadOperators{{
    {Qt::Key_Asterisk, Key::kKeypadMultiply},
    {Qt::Key_Plus, Key::kKeypadAdd},
    {Qt::Key_Minus, Key::kKeypadSubtract},
    {Qt::Key_Slash, Key::kKeypadDivide},
}};

// Keys whose characters the layout fixes, whatever the modifiers.
constexpr std::array<std::pair<int, std::uint16_t>, 5> kFixedCharacters{{
    {Qt::Key_Backspace, kBackspace},
    {Qt::Key_Tab, kTab},
    {Qt::Key_Backtab, kTab},
    {Qt::Key_Return, kCarriageReturn},
    {Qt::Key_Enter, kCarriageReturn},
}};

// Ctrl with a punctuation key gives the control codes 0 and 27 to 31.
constexpr std::array<std::pair<int, std::uint16_t>, 6> kControlPunctuation{{
    {Qt::Key_At, 0},
    {Qt::Key_BracketLeft, 27},
    {Qt::Key_Backslash, 28},
    {Qt::Key_BracketRight, 29},
    {Qt::Key_AsciiCircum, 30},
    {Qt::Key_Underscore, 31},
}};

template <class Value, std::size_t N>
std::optional<Value> Lookup(const std::array<std::pair<int, Value>, N>& table, int key) {
    for (const auto& [k, value] : table) {
        if (k == key) return value;
    }
    return std::nullopt;
}

std::optional<Key> TerminalKey(int key, Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::KeypadModifier) {
        if (auto keypad = Lookup(kKeypadOperators, key)) return keypad;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return FunctionKey(1 + key - Qt::Key_F1);
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
        return Key::kCharacterOnly;
    }
    return Lookup(kKeys, key);
}

std::optional<char32_t> Character(int key, Qt::KeyboardModifiers modifiers, const QString& text) {
    if (auto fixed = Lookup(kFixedCharacters, key)) return fixed;
    if (key == Qt::Key_Escape) return kEscape;
    if (modifiers & Qt::ControlModifier) {
        if (key >= Qt::Key_A && key <= Qt::Key_Z) {
            return static_cast<std::uint16_t>(key - Qt::Key_A + 1);
        }
        if (key == Qt::Key_Space) return kSpace;
        return Lookup(kControlPunctuation, key);
    }
    if (text.isEmpty()) return std::nullopt;
    const char32_t code = text.toUcs4().constFirst();
    // Delete and the cursor keys bring no character of their own.
    if (code < kSpace || code == kDelete) return std::nullopt;
    return code;
}

}  // namespace

KeyPress TranslateKeyPress(int key, Qt::KeyboardModifiers modifiers, const QString& text,
                           bool numLock) {
    KeyModifiers held = HeldModifiers(modifiers);
    held.shift = held.shift || key == Qt::Key_Backtab;
    held.numLock = numLock;
    if (held.alt) return {TerminalKey(key, modifiers), held, MetaCharacter(key, modifiers, text)};
    return {TerminalKey(key, modifiers), held, Character(key, modifiers, text)};
}

KeyModifiers HeldModifiers(Qt::KeyboardModifiers modifiers) {
    return {(modifiers & Qt::ShiftModifier) != 0, (modifiers & Qt::AltModifier) != 0,
            (modifiers & Qt::ControlModifier) != 0};
}

// X11 carries NumLock as Mod2 in the event's state, which Qt passes on.
bool NumLockOn(const QKeyEvent& event) {
    constexpr quint32 kMod2Mask = 0x10;
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return true;
    return (event.nativeModifiers() & kMod2Mask) != 0;
}

std::optional<char32_t> MetaCharacter(int key, Qt::KeyboardModifiers modifiers,
                                      const QString& text) {
    if (!(modifiers & Qt::AltModifier) || (modifiers & Qt::ControlModifier)) return std::nullopt;
    return Character(key, modifiers & ~Qt::AltModifier, text);
}

std::optional<CommandId> ClipboardKeyCommand(int key, Qt::KeyboardModifiers modifiers) {
    const Qt::KeyboardModifiers held =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (held == Qt::ShiftModifier && key == Qt::Key_Insert) return CommandId::kPaste;
    if (held != (Qt::ControlModifier | Qt::ShiftModifier)) return std::nullopt;
    if (key == Qt::Key_V) return CommandId::kPaste;
    if (key == Qt::Key_C) return CommandId::kCopy;
    return std::nullopt;
}

}  // namespace quill
