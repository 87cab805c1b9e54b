#pragma once

#include <cstdint>

namespace quill {

// What a character beyond ASCII becomes in the grid, whose cells hold one
// byte each and are shown, copied and printed as Latin-1: `byte` in `count`
// cells.
struct GridCells {
    std::uint8_t byte;
    int count;
};

// U+00A0 to U+00FF are their own byte; U+00AD (soft hyphen), which has no
// width of its own in a text run, is '-'. Any other character is '?', in two
// cells when it takes two columns (East Asian wide, emoji), else in one.
GridCells CellsFor(char32_t character);

}  // namespace quill
