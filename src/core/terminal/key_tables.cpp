#include "core/terminal/key_tables.h"

#include "core/terminal/control_codes.h"

namespace quill {

namespace {

constexpr KeyTableRow Row3(std::uint16_t key, std::uint8_t a, std::uint8_t b) {
    return {key, {kEsc, a, b}, 3};
}

// ESC [ d ~ for the editing keys.
constexpr KeyTableRow Row4(std::uint16_t key, std::uint8_t digit) {
    return {key, {kEsc, '[', digit, '~'}, 4};
}

// ESC [ d d ~ for the numbered function keys.
constexpr KeyTableRow Row5(std::uint16_t key, std::uint8_t tens, std::uint8_t units) {
    return {key, {kEsc, '[', tens, units, '~'}, 5};
}

constexpr KeyTable MakeTable(std::uint8_t cursorIntroducer) {
    return {{
        Row3(vk::kUp, cursorIntroducer, 'A'),
        Row3(vk::kDown, cursorIntroducer, 'B'),
        Row3(vk::kRight, cursorIntroducer, 'C'),
        Row3(vk::kLeft, cursorIntroducer, 'D'),
        Row3(vk::kF1, 'O', 'P'),  // F1
        Row3(vk::kF1 + 1, 'O', 'Q'),
        Row3(vk::kF1 + 2, 'O', 'R'),
        Row3(vk::kF1 + 3, 'O', 'S'),  // F4
        Row5(vk::kF1 + 4, '1', '6'),  // F5: the numbers run 16 to 23 without a gap
        Row5(vk::kF1 + 5, '1', '7'),
        Row5(vk::kF1 + 6, '1', '8'),
        Row5(vk::kF1 + 7, '1', '9'),
        Row5(vk::kF1 + 8, '2', '0'),
        Row5(vk::kF1 + 9, '2', '1'),
        Row5(vk::kF1 + 10, '2', '2'),
        Row5(vk::kF12, '2', '3'),  // F12
        KeyTableRow{0, {}, 0},
    }};
}

// The cursor keys, Home and End after `cursorIntroducer`; the editing keys
// and F5-F12 as ESC [ n ~, with xterm's gaps after F5 and F10.
constexpr XtermKeyTable MakeXtermTable(std::uint8_t cursorIntroducer) {
    return {{
        Row3(vk::kUp, cursorIntroducer, 'A'),
        Row3(vk::kDown, cursorIntroducer, 'B'),
        Row3(vk::kRight, cursorIntroducer, 'C'),
        Row3(vk::kLeft, cursorIntroducer, 'D'),
        Row3(vk::kHome, cursorIntroducer, 'H'),
        Row3(vk::kEnd, cursorIntroducer, 'F'),
        Row4(vk::kInsert, '2'),
        Row4(vk::kDelete, '3'),
        Row4(vk::kPageUp, '5'),
        Row4(vk::kPageDown, '6'),
        Row3(vk::kF1, 'O', 'P'),  // F1
        Row3(vk::kF1 + 1, 'O', 'Q'),
        Row3(vk::kF1 + 2, 'O', 'R'),
        Row3(vk::kF1 + 3, 'O', 'S'),  // F4
        Row5(vk::kF1 + 4, '1', '5'),  // F5
        Row5(vk::kF1 + 5, '1', '7'),
        Row5(vk::kF1 + 6, '1', '8'),
        Row5(vk::kF1 + 7, '1', '9'),
        Row5(vk::kF1 + 8, '2', '0'),
        Row5(vk::kF1 + 9, '2', '1'),  // F10
        Row5(vk::kF1 + 10, '2', '3'),
        Row5(vk::kF12, '2', '4'),  // F12
    }};
}

}  // namespace

const KeyTable kNormalKeyTable = MakeTable('[');
const KeyTable kApplicationKeyTable = MakeTable('O');
const XtermKeyTable kXtermNormalKeyTable = MakeXtermTable('[');
const XtermKeyTable kXtermApplicationKeyTable = MakeXtermTable('O');

}  // namespace quill
