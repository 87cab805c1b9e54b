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
    std::uint16_t keyCode;
    Form form;
    std::uint8_t code;  // the final byte, or the number before '~'
};

constexpr std::array<XtermKeyRow, 28> kXtermKeys{{
    {vk::kUp, Form::kCursor, 'A'},       {vk::kDown, Form::kCursor, 'B'},
    {vk::kRight, Form::kCursor, 'C'},    {vk::kLeft, Form::kCursor, 'D'},
    {vk::kHome, Form::kCursor, 'H'},     {vk::kEnd, Form::kCursor, 'F'},
    {vk::kClear, Form::kCursor, 'E'},    {vk::kInsert, Form::kNumbered, 2},
    {vk::kDelete, Form::kNumbered, 3},   {vk::kPageUp, Form::kNumbered, 5},
    {vk::kPageDown, Form::kNumbered, 6}, {vk::kF1, Form::kFunction, 'P'},
    {vk::kF1 + 1, Form::kFunction, 'Q'}, {vk::kF1 + 2, Form::kFunction, 'R'},
    {vk::kF1 + 3, Form::kFunction, 'S'}, {vk::kF1 + 4, Form::kNumbered, 15},
    {vk::kF1 + 5, Form::kNumbered, 17},  {vk::kF1 + 6, Form::kNumbered, 18},
    {vk::kF1 + 7, Form::kNumbered, 19},  {vk::kF1 + 8, Form::kNumbered, 20},
    {vk::kF1 + 9, Form::kNumbered, 21},  {vk::kF1 + 10, Form::kNumbered, 23},
    {vk::kF12, Form::kNumbered, 24},     {vk::kKeypadEnter, Form::kKeypad, 'M'},
    {vk::kMultiply, Form::kKeypad, 'j'}, {vk::kAdd, Form::kKeypad, 'k'},
    {vk::kSubtract, Form::kKeypad, 'm'}, {vk::kDivide, Form::kKeypad, 'o'},
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

std::optional<KeySequence> XtermKey(std::uint16_t keyCode, KeyModifiers modifiers,
                                    const TerminalModes& modes) {
    if (keyCode == vk::kBack) return Backspace(modifiers);
    if (keyCode == vk::kTab) {
        return modifiers.shift ? std::optional(Csi(0, {}, 'Z')) : std::nullopt;
    }
    const auto* row =
        std::find_if(kXtermKeys.begin(), kXtermKeys.end(),
                     [keyCode](const XtermKeyRow& r) { return r.keyCode == keyCode; });
    if (row == kXtermKeys.end()) return std::nullopt;
    return FromRow(*row, modifiers, modes);
}

}  // namespace quill
