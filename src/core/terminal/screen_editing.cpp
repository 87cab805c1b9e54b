// xterm's editing operations on the screen, for the extended terminal: the
// cursor within margins, tab stops, erasing in the pen's background,
// inserting and deleting characters and lines, scrolling the region.

#include <algorithm>

#include "core/terminal/screen_model.h"

namespace quill {

namespace {

// A count of 0 means 1.
int CountOf(int count) {
    return std::max(count, 1);
}

}  // namespace

std::vector<bool> ScreenModel::DefaultTabStops(int columns) {
    std::vector<bool> stops(static_cast<std::size_t>(columns));
    for (int c = kTabWidth; c < columns; c += kTabWidth) stops[static_cast<std::size_t>(c)] = true;
    return stops;
}

Cell ScreenModel::Erased() const {
    Cell cell;
    cell.background = pen_.background;
    return cell;
}

// A row erased from its start no longer continues the one above, nor does
// the next once this one is erased up to its end; shifting cells (EraseCells
// alone) keeps the rows joined.
void ScreenModel::FillCells(int row, int first, int end) {
    if (first >= end) return;
    RepairWide(row, first, end);
    EraseCells(row, first, end);
    const int bufferRow = FirstScreenRow() + row;
    if (first == 0) grid_.SetRowContinues(bufferRow, false);
    if (end == Columns()) grid_.SetRowContinues(bufferRow + 1, false);
}

// Erased cells in the default background are blank, all zero bytes.
void ScreenModel::EraseCells(int row, int first, int end) {
    Cell* cells = grid_.RowCells(FirstScreenRow() + row);
    if (pen_.background == CellColour()) {
        ScreenGrid::BlankCells(cells + first, end - first);
    } else {
        std::fill(cells + first, cells + end, Erased());
    }
    grid_.Damage().MarkColumns(row, first, end);
}

void ScreenModel::ResetEditing() {
    autoWrap_ = true;
    originMode_ = false;
    insertMode_ = false;
    sideMarginMode_ = false;
    FullMargins();
}

// The margins at the screen's edges.
void ScreenModel::FullMargins() {
    FullSideMargins();
    regionTop_ = 0;
    regionBottom_ = Geometry().screenRows - 1;
}

void ScreenModel::FullSideMargins() {
    leftMargin_ = 0;
    rightMargin_ = Columns() - 1;
}

bool ScreenModel::FullWidth() const {
    return leftMargin_ == 0 && rightMargin_ == Columns() - 1;
}

// At a new size the margins reset; the tab stops kept are those still on the
// screen, and new columns get the default ones.
void ScreenModel::ResizeEditing() {
    FullMargins();
    const std::vector<bool> defaults = DefaultTabStops(Columns());
    const std::size_t kept = std::min(tabStops_.size(), defaults.size());
    tabStops_.resize(defaults.size());
    std::copy(defaults.begin() + static_cast<std::ptrdiff_t>(kept), defaults.end(),
              tabStops_.begin() + static_cast<std::ptrdiff_t>(kept));
}

// A wrap that waits stays: the next character takes it if auto-wrap is on
// by then, as in xterm.
void ScreenModel::SetAutoWrap(bool on) {
    autoWrap_ = on;
}

void ScreenModel::SetOriginMode(bool on) {
    originMode_ = on;
    CursorTo(0, 0);
}

// Turning the mode off puts the margins at the screen's edges.
void ScreenModel::SetSideMarginMode(bool on) {
    sideMarginMode_ = on;
    if (!on) FullSideMargins();
}

// A row of double size holds the cursor within the half it shows.
void ScreenModel::SetCursor(int row, int column, bool wrapPending) {
    cursorRow_ = Clamp(row, 0, Geometry().screenRows - 1);
    cursorColumn_ = Clamp(column, 0, RowColumns(cursorRow_) - 1);
    wrapPending_ = wrapPending && cursorColumn_ == LineEnd() - 1;
}

// In origin mode the cursor stays inside the margins, so a place saved
// outside the margins in force comes back at their nearest edge.
void ScreenModel::RestoreSavedCursor(const SavedPlace& place) {
    originMode_ = place.originMode;
    int row = place.row;
    int column = place.column;
    if (originMode_) {
        row = Clamp(row, regionTop_, regionBottom_);
        column = Clamp(column, leftMargin_, rightMargin_);
    }
    SetCursor(row, column, place.wrapPending);
}

void ScreenModel::MoveCursor(int row, int column) {
    SetCursor(row, column, false);
}

bool ScreenModel::InsideSideMargins() const {
    return cursorColumn_ >= leftMargin_ && cursorColumn_ <= rightMargin_;
}

bool ScreenModel::InsideRegion() const {
    return cursorRow_ >= regionTop_ && cursorRow_ <= regionBottom_;
}

// The columns a cursor inside the margins keeps to.
int ScreenModel::LeftEdge() const {
    return InsideSideMargins() ? leftMargin_ : 0;
}

int ScreenModel::RightEdge() const {
    return std::min(InsideSideMargins() ? rightMargin_ : Columns() - 1, RowColumns(cursorRow_) - 1);
}

void ScreenModel::CursorTo(int row, int column) {
    int top = 0;
    int bottom = Geometry().screenRows - 1;
    int left = 0;
    int right = Columns() - 1;
    if (originMode_) {
        top = regionTop_;
        bottom = regionBottom_;
        left = leftMargin_;
        right = rightMargin_;
    }
    MoveCursor(Clamp(row, 0, bottom - top) + top, Clamp(column, 0, right - left) + left);
}

void ScreenModel::CursorToRow(int row) {
    CursorTo(row, RelativeColumn());
}

void ScreenModel::CursorToColumn(int column) {
    CursorTo(RelativeRow(), column);
}

int ScreenModel::RelativeRow() const {
    return cursorRow_ - (originMode_ ? regionTop_ : 0);
}

int ScreenModel::RelativeColumn() const {
    return cursorColumn_ - (originMode_ ? leftMargin_ : 0);
}

void ScreenModel::CursorUp(int count) {
    const int top = cursorRow_ >= regionTop_ ? regionTop_ : 0;
    MoveCursor(std::max(cursorRow_ - std::min(CountOf(count), Geometry().screenRows), top),
               cursorColumn_);
}

void ScreenModel::CursorDown(int count) {
    const int bottom = cursorRow_ <= regionBottom_ ? regionBottom_ : Geometry().screenRows - 1;
    MoveCursor(std::min(cursorRow_ + std::min(CountOf(count), Geometry().screenRows), bottom),
               cursorColumn_);
}

void ScreenModel::CursorForward(int count) {
    MoveCursor(cursorRow_,
               std::min(cursorColumn_ + std::min(CountOf(count), Columns()), RightEdge()));
}

void ScreenModel::CursorBackward(int count) {
    const int left = cursorColumn_ >= leftMargin_ ? leftMargin_ : 0;
    MoveCursor(cursorRow_, std::max(cursorColumn_ - std::min(CountOf(count), Columns()), left));
}

void ScreenModel::Index() {
    if (!rules_.hostMargins) {
        MoveToRowScrolling(cursorRow_ + 1);
    } else if (cursorRow_ == regionBottom_) {
        wrapPending_ = false;
        if (InsideSideMargins()) ScrollRegionUp(1);
    } else {
        MoveCursor(std::min(cursorRow_ + 1, Geometry().screenRows - 1), cursorColumn_);
    }
}

void ScreenModel::ReverseIndex() {
    if (!rules_.hostMargins) {
        MoveToRowScrolling(cursorRow_ - 1);
    } else if (cursorRow_ == regionTop_) {
        wrapPending_ = false;
        if (InsideSideMargins()) ScrollRegionDown(1);
    } else {
        MoveCursor(std::max(cursorRow_ - 1, 0), cursorColumn_);
    }
}

void ScreenModel::TabForward(int count) {
    const int last = RightEdge();
    int column = cursorColumn_;
    for (int n = std::min(CountOf(count), Columns()); n > 0 && column < last; --n) {
        do ++column;
        while (column < last && !tabStops_[static_cast<std::size_t>(column)]);
    }
    // A tab that cannot move keeps a wrap that waits, as in xterm.
    SetCursor(cursorRow_, column, wrapPending_ && column == cursorColumn_);
}

void ScreenModel::TabBackward(int count) {
    const int first = LeftEdge();
    int column = cursorColumn_;
    for (int n = std::min(CountOf(count), Columns()); n > 0 && column > first; --n) {
        do --column;
        while (column > first && !tabStops_[static_cast<std::size_t>(column)]);
    }
    MoveCursor(cursorRow_, column);
}

void ScreenModel::SetTabStop() {
    tabStops_[static_cast<std::size_t>(cursorColumn_)] = true;
}

void ScreenModel::ClearTabStop() {
    tabStops_[static_cast<std::size_t>(cursorColumn_)] = false;
}

void ScreenModel::ClearAllTabStops() {
    std::fill(tabStops_.begin(), tabStops_.end(), false);
}

void ScreenModel::EraseInLine(int mode) {
    wrapPending_ = false;
    if (mode == 0) FillCells(cursorRow_, cursorColumn_, Columns());
    if (mode == 1) FillCells(cursorRow_, 0, cursorColumn_ + 1);
    if (mode == 2) FillCells(cursorRow_, 0, Columns());
}

void ScreenModel::EraseInDisplay(int mode) {
    if (mode == 3) {
        grid_.BlankRows(0, FirstScreenRow());
        grid_.Damage().MarkAll();
        return;
    }
    if (mode < 0 || mode > 2) return;
    EraseInLine(mode);
    const int first = mode == 0 ? cursorRow_ + 1 : 0;
    const int end = mode == 1 ? cursorRow_ : Geometry().screenRows;
    for (int row = first; row < end; ++row) EraseRowWhole(row);
}

// A row erased whole is of single size again, as in xterm.
void ScreenModel::EraseRowWhole(int row) {
    FillCells(row, 0, Columns());
    grid_.SetRowLineSize(FirstScreenRow() + row, LineSize::kSingle);
}

void ScreenModel::SetLineSize(LineSize size) {
    if (sideMarginMode_) return;
    // A wide character across the half a double row shows goes whole.
    if (size != LineSize::kSingle) RepairWide(cursorRow_, Columns() / 2, Columns() / 2);
    grid_.SetRowLineSize(FirstScreenRow() + cursorRow_, size);
    grid_.Damage().MarkColumns(cursorRow_, 0, Columns());
    MoveCursor(cursorRow_, cursorColumn_);
}

void ScreenModel::EraseChars(int count) {
    wrapPending_ = false;
    FillCells(cursorRow_, cursorColumn_,
              std::min(cursorColumn_ + std::min(CountOf(count), Columns()), Columns()));
}

// Cells from `first` to `end` - 1 of the cursor row move right by `count`
// (left when negative); the cells left behind are erased. Deleting without
// ScreenRules::vacatedCellsErased leaves spaces in the rendition the first
// of them had before the move instead.
void ScreenModel::ShiftCells(int first, int end, int count) {
    if (end <= first) return;  // a cursor past the half a double row shows
    Cell* row = grid_.RowCells(FirstScreenRow() + cursorRow_);
    const int n = std::min(std::abs(count), end - first);
    // A wide character cut at the cursor or at the right margin, or where
    // cells fall off the end (insert) or out of the row (delete), loses both
    // halves.
    // The cells left behind still hold what moved out of them, so they are
    // erased without looking at them.
    RepairWide(cursorRow_, first, end);
    if (count > 0) {
        RepairWide(cursorRow_, first, end - n);
        std::copy_backward(row + first, row + end - n, row + end);
        EraseCells(cursorRow_, first, first + n);
    } else {
        RepairWide(cursorRow_, first, first + n);
        Cell vacated = row[end - n];
        std::copy(row + first + n, row + end, row + first);
        if (rules_.vacatedCellsErased) {
            EraseCells(cursorRow_, end - n, end);
        } else {
            vacated.character = U' ';
            vacated.marks = 0;
            vacated.flags &= ~cell_flags::kWideRight;
            std::fill_n(row + end - n, n, vacated);
        }
    }
    grid_.Damage().MarkColumns(cursorRow_, first, end);
}

void ScreenModel::InsertChars(int count) {
    wrapPending_ = false;
    ShiftCells(cursorColumn_, RightEdge() + 1, CountOf(count));
}

// Without the host's margins, up to the row's end, whatever the cells it shows.
void ScreenModel::DeleteChars(int count) {
    wrapPending_ = false;
    ShiftCells(cursorColumn_, rules_.hostMargins ? RightEdge() + 1 : Columns(), -CountOf(count));
}

// Rows `top` to `bottom` (inclusive) between the side margins move up by
// `count` (down when negative); the rows left behind are erased. Whole rows
// turn in the ring; within side margins the cells are copied.
void ScreenModel::ShiftRows(int top, int bottom, int count) {
    const int height = bottom - top + 1;
    const int n = std::min(std::abs(count), height);
    const int first = FirstScreenRow();
    if (FullWidth()) {
        grid_.RotateRows(first + top, first + bottom + 1, count > 0 ? n : height - n);
    } else {
        // A wide character cut by a side margin loses both halves first.
        const int width = rightMargin_ - leftMargin_ + 1;
        for (int row = top; row <= bottom; ++row) RepairWide(row, leftMargin_, rightMargin_ + 1);
        for (int i = 0; i < height - n; ++i) {
            const int to = count > 0 ? top + i : bottom - i;
            const int from = count > 0 ? to + n : to - n;
            std::copy_n(grid_.RowCells(first + from) + leftMargin_, width,
                        grid_.RowCells(first + to) + leftMargin_);
        }
    }
    // Whole rows that come in are blank rows of single size.
    const int erasedFirst = count > 0 ? bottom - n + 1 : top;
    for (int row = erasedFirst; row < erasedFirst + n; ++row) {
        if (FullWidth()) {
            EraseRowWhole(row);
        } else {
            FillCells(row, leftMargin_, rightMargin_ + 1);
        }
    }
    grid_.Damage().MarkRows(top, bottom + 1);
}

void ScreenModel::InsertLines(int count) {
    if (!InsideRegion() || !InsideSideMargins()) return;
    ShiftRows(cursorRow_, regionBottom_, -CountOf(count));
    MoveCursor(cursorRow_, leftMargin_);
}

void ScreenModel::DeleteLines(int count) {
    if (!InsideRegion() || !InsideSideMargins()) return;
    ShiftRows(cursorRow_, regionBottom_, CountOf(count));
    MoveCursor(cursorRow_, leftMargin_);
}

// A region at the top of the normal screen, margins aside, scrolls its rows
// into the history, one by one, as a line feed does.
void ScreenModel::ScrollRegionUp(int count) {
    const int n = std::min(CountOf(count), regionBottom_ - regionTop_ + 1);
    if (regionTop_ == 0 && !AlternateScreen() && FullWidth()) {
        // The rows that come in are blank; only a background is left to fill.
        ScrollUpBlank(n);
        if (pen_.background == CellColour()) return;
        for (int row = regionBottom_ + 1 - n; row <= regionBottom_; ++row) {
            FillCells(row, 0, Columns());
        }
    } else {
        ShiftRows(regionTop_, regionBottom_, n);
    }
}

void ScreenModel::ScrollRegionDown(int count) {
    ShiftRows(regionTop_, regionBottom_, -CountOf(count));
}

void ScreenModel::SetSideMargins(int left, int right) {
    leftMargin_ = Clamp(left, 0, Columns() - 1);
    rightMargin_ = Clamp(right, 0, Columns() - 1);
}

void ScreenModel::RepeatCharacter(int count) {
    if (lastCharacter_ == 0) return;
    const int n = std::min(CountOf(count), Columns() * Geometry().screenRows);
    for (int i = 0; i < n; ++i) PlaceCharacter(lastCharacter_);
}

void ScreenModel::FillScreenWithE() {
    Cell letter;
    letter.character = U'E';
    grid_.FillRows(FirstScreenRow(), FirstScreenRow() + Geometry().screenRows, letter);
    FullMargins();
    grid_.Damage().MarkAll();
    MoveCursor(0, 0);
}

void ScreenModel::ClearForColumnMode() {
    EraseInDisplay(2);
    FullMargins();
    CursorTo(0, 0);
}

void ScreenModel::ClearScreenForReset() {
    grid_.BlankRows(FirstScreenRow(), FirstScreenRow() + Geometry().screenRows);
    grid_.Damage().MarkAll();
    MoveCursor(0, 0);
}

}  // namespace quill
