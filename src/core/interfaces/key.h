#pragma once

#include <cstdint>
#include <optional>

namespace quill {

// The keys the terminal tells apart: those that may send a sequence of their
// own, the modifiers pressed alone, and the keys that give only their
// character (letters, digits, Space, Escape).
enum class Key : std::uint8_t {
    kBackspace,
    kTab,
    kReturn,
    kKeypadEnter,
    kBegin,  // the keypad's 5 without NumLock
    kPageUp,
    kPageDown,
    kEnd,
    kHome,
    kLeft,
    kUp,
    kRight,
    kDown,
    kInsert,
    kDelete,
    kKeypadMultiply,
    kKeypadAdd,
    kKeypadSubtract,
    kKeypadDivide,
    kF1,
    kF2,
    kF3,
    kF4,
    kF5,
    kF6,
    kF7,
    kF8,
    kF9,
    kF10,
    kF11,
    kF12,
    kShift,
    kControl,
    kCharacterOnly,
};

// Function key n, from 1 to 12.
constexpr Key FunctionKey(int n) {
    return static_cast<Key>(static_cast<int>(Key::kF1) + n - 1);
}

// The modifiers held with a key, and whether NumLock is on.
struct KeyModifiers {
    bool shift = false;
    bool alt = false;
    bool control = false;
    bool numLock = false;
    bool Any() const { return shift || alt || control; }
    // xterm's modifier parameter: 2 for Shift up to 8 for Shift+Alt+Ctrl.
    int Parameter() const { return 1 + (shift ? 1 : 0) + (alt ? 2 : 0) + (control ? 4 : 0); }
};

// One key press: the key (none for a key the terminal does not know), the
// modifiers, and the character the keyboard layout makes of the stroke (a
// whole character, not a UTF-16 unit). With Alt, the character is the one
// the key gives without it: Alt as Meta sends ESC before it.
struct KeyPress {
    std::optional<Key> key;
    KeyModifiers modifiers;
    std::optional<char32_t> character;
};

}  // namespace quill
