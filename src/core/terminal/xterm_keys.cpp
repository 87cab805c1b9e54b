#include "core/terminal/xterm_keys.h"

#include <algorithm>

#include "core/terminal/control_codes.h"

namespace quill {

namespace {

enum class Form {
    kCursor,    // ESC [ X, or ESC O X in application cursor-key mode
    kFunction,  // ESC O X
    kNumbered,  // ESC [ n ~
    kKeypad     // ESC O X in application keypad mode
};

struct XtermKeyRow {
    Key key;
    Form form;
    std::uint8_t code;  // the final byte, or the number before '~'
};

constexpr std::array<XtermKeyRow, 28> kXtermKeys{{
    {Key::kUp, Form::kCursor, 'A'},
    {Key::kDown, Form::kCursor, 'B'},
    {Key::kRight, Form::kCursor, 'C'},
    {Key::kLeft, Form::kCursor, 'D'},
    {Key::kHome, Form::kCursor, 'H'},
    {Key::kEnd, Form::kCursor, 'F'},
    {Key::kBegin, Form::kCursor, 'E'},
    {Key::kInsert, Form::kNumbered, 2},
    {Key::kDelete, Form::kNumbered, 3},
    {Key::kPageUp, Form::kNumbered, 5},
    {Key::kPageDown, Form::kNumbered, 6},
    {Key::kF1, Form::kFunction, 'P'},
    {Key::kF2, Form::kFunction, 'Q'},
    {Key::kF3, Form::kFunction, 'R'},
    {Key::kF4, Form::kFunction, 'S'},
    {Key::kF5, Form::kNumbered, 15},
    {Key::kF6, Form::kNumbered, 17},
    {Key::kF7, Form::kNumbered, 18},
    {Key::kF8, Form::kNumbered, 19},
    {Key::kF9, Form::kNumbered, 20},
    {Key::kF10, Form::kNumbered, 21},
    {Key::kF11, Form::kNumbered, 23},
    {Key::kF12, Form::kNumbered, 24},
    {Key::kKeypadEnter, Form::kKeypad, 'M'},
    {Key::kKeypadMultiply, Form::kKeypad, 'j'},
    {Key::kKeypadAdd, Form::kKeypad, 'k'},
    {Key::kKeypadSubtract, Form::kKeypad, 'm'},
    {Key::kKeypadDivide, Form::kKeypad, 'o'},
}};

void AddNumber(KeySequence& sequence, int number) {
    if (number >= 10) sequence.Add(static_cast<std::uint8_t>('0' + number / 10));
    sequence.Add(static_cast<std::uint8_t>('0' + number % 10));
}

// ESC [ n ; m final, or ESC [ n final without modifiers.
KeySequence Csi(int number, KeyModifiers modifiers, std::uint8_t final) {
    KeySequence sequence;
    sequence.Add(kEsc);
    sequence.Add('[');
    if (number != 0) AddNumber(sequence, number);
    if (modifiers.Any()) {
        sequence.Add(';');
        AddNumber(sequence, modifiers.Parameter());
    }
    sequence.Add(final);
    return sequence;
}

// ESC O final, with the modifier parameter before the final byte.
KeySequence Ss3(KeyModifiers modifiers, std::uint8_t final) {
    KeySequence sequence;
    sequence.Add(kEsc);
    sequence.Add('O');
    if (modifiers.Any()) AddNumber(sequence, modifiers.Parameter());
    sequence.Add(final);
    return sequence;
}

KeySequence Backspace(KeyModifiers modifiers) {
    KeySequence sequence;
    if (modifiers.alt) sequence.Add(kEsc);
    sequence.Add(modifiers.control ? kBs : kDel);
    return sequence;
}

std::optional<KeySequence> FromRow(const XtermKeyRow& row, KeyModifiers modifiers,
                                   const TerminalModes& modes) {
    switch (row.form) {
        case Form::kCursor:
            if (modifiers.Any()) return Csi(1, modifiers, row.code);
            return modes.ApplicationCursorKeys() ? Ss3({}, row.code) : Csi(0, {}, row.code);
        case Form::kFunction:
            return modifiers.Any() ? Csi(1, modifiers, row.code) : Ss3({}, row.code);
        case Form::kNumbered:
            return Csi(row.code, modifiers, '~');
        case Form::kKeypad:
            if (!modes.ApplicationKeypad() || (modifiers.numLock && !modifiers.Any())) {
                return std::nullopt;
            }
            return Ss3(modifiers, row.code);
    }
    return std::nullopt;
}

}  // namespace

std::optional<KeySequence> XtermKey(Key key, KeyModifiers modifiers, const TerminalModes& modes) {
    if (key == Key::kBackspace) return Backspace(modifiers);
    if (key == Key::kTab) {
        return modifiers.shift ? std::optional(Csi(0, {}, 'Z')) : std::nullopt;
    }
    const auto* row = std::find_if(kXtermKeys.begin(), kXtermKeys.end(),
                                   [key](const XtermKeyRow& r) { return r.key == key; });
    if (row == kXtermKeys.end()) return std::nullopt;
    return FromRow(*row, modifiers, modes);
}

}  // namespace quill
