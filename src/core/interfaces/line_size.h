#pragma once

#include <cstdint>

namespace quill {

// How a row's characters are drawn (DECSWL, DECDWL, DECDHL): at their own
// size, at twice their width, or at twice their width and height, the row
// showing the upper or the lower half.
enum class LineSize : std::uint8_t { kSingle, kDoubleWidth, kDoubleTop, kDoubleBottom };

}  // namespace quill
