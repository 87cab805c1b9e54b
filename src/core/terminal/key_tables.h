#pragma once

#include <array>
#include <cstdint>

namespace quill {

// Virtual-key codes of the keys the tables translate.
namespace vk {
constexpr std::uint16_t kReturn = 0x0D;
constexpr std::uint16_t kLeft = 0x25;
constexpr std::uint16_t kUp = 0x26;
constexpr std::uint16_t kRight = 0x27;
constexpr std::uint16_t kDown = 0x28;
constexpr std::uint16_t kF1 = 0x70;
constexpr std::uint16_t kF12 = 0x7B;
}  // namespace vk

struct KeyTableRow {
    std::uint16_t keyCode;  // 0 ends the table
    std::array<std::uint8_t, 10> output;
    std::int32_t count;
};

using KeyTable = std::array<KeyTableRow, 17>;

extern const KeyTable kNormalKeyTable;
extern const KeyTable kApplicationKeyTable;

}  // namespace quill
