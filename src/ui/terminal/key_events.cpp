#include "ui/terminal/key_events.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QList>
#include <array>
#include <utility>

#include "core/terminal/key_tables.h"

namespace quill {

namespace {

constexpr std::uint16_t kBackspace = 8;
constexpr std::uint16_t kTab = 9;
constexpr std::uint16_t kCarriageReturn = 13;
constexpr std::uint16_t kEscape = 27;
constexpr std::uint16_t kSpace = 32;
constexpr std::uint16_t kDelete = 127;

// Virtual-key codes of the keys that have no character of their own.
constexpr std::array<std::pair<int, std::uint16_t>, 20> kVirtualKeys{{
    {Qt::Key_Backspace, vk::kBack},
    {Qt::Key_Tab, vk::kTab},
    {Qt::Key_Backtab, vk::kTab},
    {Qt::Key_Return, vk::kReturn},
    {Qt::Key_Enter, vk::kKeypadEnter},
    {Qt::Key_Clear, vk::kClear},
    {Qt::Key_Shift, vk::kShift},
    {Qt::Key_Control, vk::kControl},
    {Qt::Key_Escape, 0x1B},
    {Qt::Key_PageUp, vk::kPageUp},
    {Qt::Key_PageDown, vk::kPageDown},
    {Qt::Key_End, vk::kEnd},
    {Qt::Key_Home, vk::kHome},
    {Qt::Key_Left, vk::kLeft},
    {Qt::Key_Up, vk::kUp},
    {Qt::Key_Right, vk::kRight},
    {Qt::Key_Down, vk::kDown},
    {Qt::Key_Insert, vk::kInsert},
    {Qt::Key_Delete, vk::kDelete},
    {Qt::Key_Space, 0x20},
}};

// The keypad's operators, told from the main keyboard's by Qt's keypad flag.
constexpr std::array<std::pair<int, std::uint16_t>, 4> kKeypadOperators{{
    {Qt::Key_Asterisk, vk::kMultiply},
    {Qt::Key_Plus, vk::kAdd},
    {Qt::Key_Minus, vk::kSubtract},
    {Qt::Key_Slash, vk::kDivide},
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

template <std::size_t N>
std::optional<std::uint16_t> Lookup(const std::array<std::pair<int, std::uint16_t>, N>& table,
                                    int key) {
    for (const auto& [k, code] : table) {
        if (k == key) return code;
    }
    return std::nullopt;
}

std::optional<std::uint16_t> VirtualKey(int key, Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::KeypadModifier) {
        if (auto keypad = Lookup(kKeypadOperators, key)) return keypad;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) {
        return static_cast<std::uint16_t>(vk::kF1 + (key - Qt::Key_F1));
    }
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
        return static_cast<std::uint16_t>(key);  // letters and digits are their own codes
    }
    return Lookup(kVirtualKeys, key);
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

KeyMessages TranslateKeyPress(int key, Qt::KeyboardModifiers modifiers, const QString& text,
                              bool numLock) {
    KeyModifiers held = HeldModifiers(modifiers);
    held.shift = held.shift || key == Qt::Key_Backtab;
    held.numLock = numLock;
    if (held.alt) return {VirtualKey(key, modifiers), std::nullopt, held};
    return {VirtualKey(key, modifiers), Character(key, modifiers, text), held};
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
