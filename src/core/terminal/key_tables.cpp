#include "core/terminal/key_tables.h"

#include "core/terminal/control_codes.h"

namespace quill {

namespace {

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

}  // namespace

const KeyTable kNormalKeyTable = MakeTable('[');
const KeyTable kApplicationKeyTable = MakeTable('O');

}  // namespace quill
