// The screen model's Unicode: wide characters in two cells and combining
// marks joined to the cell before, for the extended terminal.
#include "core/terminal/grid_character.h"
#include "core/terminal/screen_model.h"

namespace quill {

void ScreenModel::PlaceCharacter(char32_t c) {
    switch (GridWidthOf(c)) {
        case GridWidth::kNone:
            break;
        case GridWidth::kMark:
            JoinMark(c);
            break;
        case GridWidth::kNarrow:
            PlaceInCell(c);
            break;
        case GridWidth::kWide:
            PlaceWide(c);
            break;
    }
}

// The right half goes through PlaceInCell too, with the pen flagged for
// it, so that it wraps and marks damage as any character does.
void ScreenModel::PlaceWide(char32_t c) {
    grid_.NoteWideCharacter();
    TakeWaitingWrap();
    const int end = LineEnd();
    if (cursorColumn_ >= end - 1) {
        if (WrapOn()) {
            RepairWide(cursorRow_, cursorColumn_, end);
            BlankCellsAt(cursorRow_, cursorColumn_, end);
            WrapToNextRow();
        } else {
            cursorColumn_ = end - 2;
        }
    }
    PlaceInCell(c);
    const Cell pen = pen_;
    pen_.flags |= cell_flags::kWideRight;
    PlaceInCell(0);
    pen_ = pen;
    lastCharacter_ = c;  // not its right half: REP repeats the character
}

// The mark joins the character written last on the cursor's row: the
// cursor's own cell while a wrap waits, else the one before it (the left
// half, when that is a wide character). At the start of a row it is dropped.
void ScreenModel::JoinMark(char32_t mark) {
    int column = wrapPending_ ? cursorColumn_ : cursorColumn_ - 1;
    Cell* row = grid_.RowCells(FirstScreenRow() + cursorRow_);
    if (column > 0 && row[column].Has(cell_flags::kWideRight)) --column;
    if (column < 0) return;
    row[column].marks = grid_.JoinMark(row[column].marks, mark);
    const bool wide = column + 1 < Columns() && row[column + 1].Has(cell_flags::kWideRight);
    grid_.Damage().MarkColumns(cursorRow_, column, column + (wide ? 2 : 1));
}

// A right half in the first column has no left half to blank.
void ScreenModel::BlankBrokenWide(int row, int first, int end) {
    const Cell* cells = grid_.RowCells(FirstScreenRow() + row);
    if (first > 0 && first < Columns() && cells[first].Has(cell_flags::kWideRight)) {
        BlankCellsAt(row, first - 1, first + 1);
    }
    if (end < Columns() && end > 0 && cells[end].Has(cell_flags::kWideRight)) {
        BlankCellsAt(row, end - 1, end + 1);
    }
}

// Blank cells keep their colours and attributes, as erased ones do.
void ScreenModel::BlankCellsAt(int row, int first, int end) {
    Cell* cells = grid_.RowCells(FirstScreenRow() + row);
    for (int column = first; column < end; ++column) {
        Cell& cell = cells[column];
        cell.character = 0;
        cell.marks = 0;
        cell.flags &= static_cast<std::uint16_t>(~cell_flags::kWideRight);
    }
    grid_.Damage().MarkColumns(row, first, end);
}

}  // namespace quill
