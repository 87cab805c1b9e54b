#pragma once

#include <string>
#include <string_view>

#include "core/interfaces/cell.h"
#include "core/terminal/screen_model.h"

namespace quill {

// One cell as CP,FG,BG,FLAGS: the character in lowercase hex (20 for a
// blank cell) with each combining mark after it as +hex, or - for the right
// half of a wide character; each colour as d (the default), a palette index
// or #rrggbb; the flags as the letters b f i u k r h s in this order, or -.
std::string CellText(const Cell& cell, std::u32string_view marks);

// The screen rows, cell by cell, under a size and a cursor line:
//   size ROWS COLS
//   cursor ROW COL          (0-based; a pending wrap shows in the last column)
//   row 0: CELL CELL ...    (COLS cells, single spaces)
std::string ScreenCells(const ScreenModel& screen);

}  // namespace quill
