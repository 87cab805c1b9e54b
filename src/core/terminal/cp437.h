#pragma once

#include <cstdint>
#include <optional>

namespace quill {

// IBM code page 437, the PC's characters: each byte's Unicode character.
// 0x20-0x7E are ASCII; 0x01-0x1F and 0x7F are the pictures the PC shows for
// them (0x01 U+263A, 0x7F U+2302); 0x00 is U+0000, a blank cell; 0x80-0xFF
// are the accented letters, box drawing, blocks, Greek and maths.
char32_t Cp437Character(std::uint8_t b);

// The byte from 0x80 up that stands for `c`, if code page 437 has one.
std::optional<std::uint8_t> Cp437HighByte(char32_t c);

}  // namespace quill
