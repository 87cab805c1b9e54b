#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace quill {

// Virtual-key codes of the keys the tables translate.
namespace vk {
constexpr std::uint16_t kReturn = 0x0D;
constexpr std::uint16_t kPageUp = 0x21;
constexpr std::uint16_t kPageDown = 0x22;
constexpr std::uint16_t kEnd = 0x23;
constexpr std::uint16_t kHome = 0x24;
constexpr std::uint16_t kLeft = 0x25;
constexpr std::uint16_t kUp = 0x26;
constexpr std::uint16_t kRight = 0x27;
constexpr std::uint16_t kDown = 0x28;
constexpr std::uint16_t kInsert = 0x2D;
constexpr std::uint16_t kDelete = 0x2E;
constexpr std::uint16_t kF1 = 0x70;
constexpr std::uint16_t kF12 = 0x7B;
}  // namespace vk

struct KeyTableRow {
    std::uint16_t keyCode;  // 0 ends the table
    std::array<std::uint8_t, 10> output;
    std::int32_t count;
};

using KeyTable = std::array<KeyTableRow, 17>;

// The plain terminal's keys, in normal and application cursor-key mode.
extern const KeyTable kNormalKeyTable;
extern const KeyTable kApplicationKeyTable;

// The extended terminal's keys, as xterm sends them: the strings of the
// xterm-256color terminfo entry in application mode, the CSI forms of the
// cursor keys, Home and End in normal mode.
using XtermKeyTable = std::array<KeyTableRow, 22>;
extern const XtermKeyTable kXtermNormalKeyTable;
extern const XtermKeyTable kXtermApplicationKeyTable;

}  // namespace quill
