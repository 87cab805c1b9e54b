#pragma once

#include <span>
#include <string>

#include "core/interfaces/cell.h"

namespace quill {

class ScreenView;

// Cells as UTF-8 text: every character once (a wide one from its left half)
// and, where `marksFrom` is given, the combining marks it keeps for each
// cell after its character.
std::string CellText(std::span<const Cell> cells, const ScreenView* marksFrom);

// The cells without the blanks at their end (cells that read as a space).
std::span<const Cell> WithoutTrailingBlanks(std::span<const Cell> cells);

// A row as copy, print and the transcript give it: its text without its
// trailing blanks.
inline std::string RowText(std::span<const Cell> cells, const ScreenView* marksFrom) {
    return CellText(WithoutTrailingBlanks(cells), marksFrom);
}

}  // namespace quill
