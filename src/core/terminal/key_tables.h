#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace quill {

// Virtual-key codes of the keys the tables translate.
namespace vk {
constexpr std::uint16_t kBack = 0x08;
constexpr std::uint16_t kTab = 0x09;
constexpr std::uint16_t kClear = 0x0C;  // keypad 5 without NumLock: xterm's Begin
constexpr std::uint16_t kReturn = 0x0D;
constexpr std::uint16_t kShift = 0x10;
constexpr std::uint16_t kControl = 0x11;
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
constexpr std::uint16_t kMultiply = 0x6A;  // the keypad's operators
constexpr std::uint16_t kAdd = 0x6B;
constexpr std::uint16_t kSubtract = 0x6D;
constexpr std::uint16_t kDivide = 0x6F;
constexpr std::uint16_t kF1 = 0x70;
constexpr std::uint16_t kF12 = 0x7B;
// Windows tells the keypad's Enter from Return by a flag of the key event;
// here it has a code of its own, outside the byte range.
constexpr std::uint16_t kKeypadEnter = 0x100 | kReturn;
}  // namespace vk

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

struct KeyTableRow {
    std::uint16_t keyCode;  // 0 ends the table
    std::array<std::uint8_t, 10> output;
    std::int32_t count;
};

using KeyTable = std::array<KeyTableRow, 17>;

// The plain terminal's keys, in normal and application cursor-key mode.
extern const KeyTable kNormalKeyTable;
extern const KeyTable kApplicationKeyTable;

}  // namespace quill
