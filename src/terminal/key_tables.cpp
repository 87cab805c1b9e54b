#include "terminal/key_tables.h"

namespace quill {

namespace {

constexpr std::uint8_t kEsc = 0x1B;

constexpr KeyTableRow Row3(std::uint16_t key, std::uint8_t a, std::uint8_t b) {
    return {key, {kEsc, a, b}, 3};
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
        Row3(0x70, 'O', 'P'),  // F1
        Row3(0x71, 'O', 'Q'),
        Row3(0x72, 'O', 'R'),
        Row3(0x73, 'O', 'S'),  // F4
        Row5(0x74, '1', '6'),  // F5: the numbers run 16 to 23 without a gap
        Row5(0x75, '1', '7'),
        Row5(0x76, '1', '8'),
        Row5(0x77, '1', '9'),
        Row5(0x78, '2', '0'),
        Row5(0x79, '2', '1'),
        Row5(0x7A, '2', '2'),
        Row5(0x7B, '2', '3'),  // F12
        KeyTableRow{0, {}, 0},
    }};
}

}  // namespace

const KeyTable kNormalKeyTable = MakeTable('[');
const KeyTable kApplicationKeyTable = MakeTable('O');

}  // namespace quill
