#include "core/terminal/key_tables.h"

#include <algorithm>

#include "core/terminal/control_codes.h"

namespace quill {

namespace {

struct KeyTableRow {
    Key key;
    std::array<std::uint8_t, 5> output;
    int count;
};

using KeyTable = std::array<KeyTableRow, 16>;

constexpr KeyTableRow Row3(Key key, std::uint8_t a, std::uint8_t b) {
    return {key, {kEsc, a, b}, 3};
}

// ESC [ d d ~ for the numbered function keys.
constexpr KeyTableRow Row5(Key key, std::uint8_t tens, std::uint8_t units) {
    return {key, {kEsc, '[', tens, units, '~'}, 5};
}

constexpr KeyTable MakeTable(std::uint8_t cursorIntroducer) {
    return {{
        Row3(Key::kUp, cursorIntroducer, 'A'),
        Row3(Key::kDown, cursorIntroducer, 'B'),
        Row3(Key::kRight, cursorIntroducer, 'C'),
        Row3(Key::kLeft, cursorIntroducer, 'D'),
        Row3(Key::kF1, 'O', 'P'),
        Row3(Key::kF2, 'O', 'Q'),
        Row3(Key::kF3, 'O', 'R'),
        Row3(Key::kF4, 'O', 'S'),
        Row5(Key::kF5, '1', '6'),  // the numbers run 16 to 23 without a gap
        Row5(Key::kF6, '1', '7'),
        Row5(Key::kF7, '1', '8'),
        Row5(Key::kF8, '1', '9'),
        Row5(Key::kF9, '2', '0'),
        Row5(Key::kF10, '2', '1'),
        Row5(Key::kF11, '2', '2'),
        Row5(Key::kF12, '2', '3'),
    }};
}

// In normal and in application cursor-key mode.
constexpr KeyTable kNormalKeyTable = MakeTable('[');
constexpr KeyTable kApplicationKeyTable = MakeTable('O');

// The BBS terminal's: End sends erase-line's bytes, as the BBS clients do.
constexpr std::array<KeyTableRow, 6> kBbsKeyTable{{
    Row3(Key::kUp, '[', 'A'),
    Row3(Key::kDown, '[', 'B'),
    Row3(Key::kRight, '[', 'C'),
    Row3(Key::kLeft, '[', 'D'),
    Row3(Key::kHome, '[', 'H'),
    Row3(Key::kEnd, '[', 'K'),
}};

template <class Table>
std::optional<KeySequence> FromTable(const Table& table, Key key) {
    const auto* row = std::find_if(table.begin(), table.end(),
                                   [key](const KeyTableRow& r) { return r.key == key; });
    if (row == table.end()) return std::nullopt;
    KeySequence sequence;
    for (int i = 0; i < row->count; ++i) sequence.Add(row->output[static_cast<std::size_t>(i)]);
    return sequence;
}

}  // namespace

std::optional<KeySequence> Vt100Key(Key key, const TerminalModes& modes) {
    const KeyTable& table = modes.ApplicationCursorKeys() ? kApplicationKeyTable : kNormalKeyTable;
    return FromTable(table, key);
}

std::optional<KeySequence> BbsKey(Key key) {
    return FromTable(kBbsKeyTable, key);
}

}  // namespace quill
