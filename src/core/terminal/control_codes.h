#pragma once

#include <cstdint>

namespace quill {

// The C0 control bytes, and DEL, that the terminal's input, sequence
// collector and key tables name.
inline constexpr std::uint8_t kBel = 0x07;
inline constexpr std::uint8_t kBs = 0x08;
inline constexpr std::uint8_t kVt = 0x0B;
inline constexpr std::uint8_t kFf = 0x0C;
inline constexpr std::uint8_t kSo = 0x0E;
inline constexpr std::uint8_t kSi = 0x0F;
inline constexpr std::uint8_t kCan = 0x18;
inline constexpr std::uint8_t kSub = 0x1A;
inline constexpr std::uint8_t kEsc = 0x1B;
inline constexpr std::uint8_t kDel = 0x7F;

}  // namespace quill
