#pragma once

namespace quill {

// How a character takes its place in the grid of the extended terminal.
enum class GridWidth {
    kNone,    // a control character: it takes no place
    kMark,    // no width of its own: it joins the cell before (combining marks, joiners)
    kNarrow,  // one cell
    kWide,    // two cells (East Asian wide and full-width characters, emoji)
};

// The place a character takes, by libutf8proc's widths and categories.
GridWidth GridWidthOf(char32_t character);

}  // namespace quill
