#include "core/terminal/screen_model.h"

#include <algorithm>
#include <cstdio>

namespace quill {

ScreenModel::ScreenModel(const TerminalOptions& options, ScreenGeometry geometry)
    : options_(options), grid_(geometry), regionBottom_(geometry.screenRows - 1) {}

void ScreenModel::BlankScreenMemory() {
    grid_.BlankRows(0, BufferRows());
    grid_.Damage().MarkAll();
}

// Fewer rows drop those below the cursor first, so that its row stays.
void ScreenModel::Resize(ScreenGeometry wanted) {
    wanted = ScreenGrid::Capped(wanted);
    if (wanted == Geometry()) return;
    cursorRow_ += grid_.Resize(wanted, Geometry().screenRows - 1 - cursorRow_);
    cursorColumn_ = std::min(cursorColumn_, Columns() - 1);
    wrapPending_ = false;
    ResizeEditing();
}

void ScreenModel::BlankScreenRow(int row) {
    grid_.ClearRow(FirstScreenRow() + row);
}

void ScreenModel::WrapToNextRow() {
    CarriageReturn();
    Index();
    grid_.SetRowContinues(FirstScreenRow() + cursorRow_, true);
}

// A wrap that waits is taken while wrapping is on, and dropped if it went off
// since.
void ScreenModel::TakeWaitingWrap() {
    if (!wrapPending_) return;
    wrapPending_ = false;
    if (WrapOn()) WrapToNextRow();
}

void ScreenModel::PlaceInCell(char32_t c) {
    TakeWaitingWrap();
    // A cursor past the cells its row shows (a row of double size scrolled
    // under it, or the other screen's) writes in the row's last shown cell.
    cursorColumn_ = std::min(cursorColumn_, RowColumns(cursorRow_) - 1);
    if (insertMode_) InsertChars(1);
    const int row = cursorRow_;
    const int column = cursorColumn_;
    const int end = LineEnd();
    RepairWide(row, column, column + 1);
    Cell* cell = CursorCell();
    *cell = pen_;
    cell->character = c;
    lastCharacter_ = c;
    // Marked before the wrap, so that a scroll the wrap makes moves the mark
    // up with its row.
    grid_.Damage().MarkColumns(row, column, column + 1);
    if (++cursorColumn_ >= end) {
        const bool wrap = WrapOn();
        if (wrap && !rules_.deferredWrap) {
            WrapToNextRow();
        } else {
            cursorColumn_ = end - 1;
            wrapPending_ = rules_.deferredWrap && wrap;
        }
    }
}

bool ScreenModel::FormatEffector(std::uint8_t b) {
    switch (b) {
        case '\r':
            CarriageReturn();
            return true;
        case '\n':
            Index();
            return true;
        case '\t':
            rules_.hostMargins ? TabForward(1) : FixedTab();
            return true;
        default:
            return false;
    }
}

void ScreenModel::FixedTab() {
    wrapPending_ = false;
    cursorColumn_ = std::min((cursorColumn_ / kTabWidth + 1) * kTabWidth, Columns() - 1);
}

// The cursor's row is on the screen already: only its column changes.
void ScreenModel::CarriageReturn() {
    wrapPending_ = false;
    const int left = rules_.hostMargins && cursorColumn_ >= leftMargin_ ? leftMargin_ : 0;
    cursorColumn_ = std::min(left, RowColumns(cursorRow_) - 1);
}

void ScreenModel::ScreenWriteByte(std::uint8_t b) {
    if (!FormatEffector(b)) PlaceInCell(b);
}

void ScreenModel::ScreenWriteString(std::string_view s) {
    for (char c : s) ScreenWriteByte(static_cast<std::uint8_t>(c));
}

// Cells left of the last column take the characters in one loop; the last
// column goes through PlaceInCell, which knows about wrapping.
template <class CharacterAt>
void ScreenModel::WriteRun(int count, CharacterAt characterAt) {
    int i = 0;
    while (i < count) {
        const int run = std::min(count - i, insertMode_ ? 0 : LineEnd() - 1 - cursorColumn_);
        if (run > 0) {
            RepairWide(cursorRow_, cursorColumn_, cursorColumn_ + run);
            Cell* cell = CursorCell();
            for (int k = 0; k < run; ++k) {
                cell[k] = pen_;
                cell[k].character = characterAt(i + k);
            }
            grid_.Damage().MarkColumns(cursorRow_, cursorColumn_, cursorColumn_ + run);
            cursorColumn_ += run;
            i += run;
        }
        if (i < count) PlaceInCell(characterAt(i++));
    }
    if (count > 0) lastCharacter_ = characterAt(count - 1);
}

void ScreenModel::ScreenWriteText(const std::uint8_t* text, int count) {
    WriteRun(count, [text](int i) { return static_cast<char32_t>(text[i]); });
}

// Erasing never wraps: a wrap that waits is dropped first.
void ScreenModel::ScreenWriteSpaces(int count) {
    wrapPending_ = false;
    WriteRun(count, [](int) { return U' '; });
}

void ScreenModel::ScrollUpBlank(int count) {
    const int first = FirstScreenRow();
    for (int n = 0; n < count; ++n) {
        const int below = first + regionBottom_ + 1;  // the buffer row below the region
        if (regionTop_ == 0 && !AlternateScreen()) {
            if (scrollOff_ != nullptr) scrollOff_->RowScrolledOff(Row(first));
            // The oldest history row comes round as the region's new last row.
            grid_.ScrollIntoHistory(below);
            grid_.Damage().ScrollUp(regionBottom_ + 1);
        } else {
            grid_.RotateRows(first + regionTop_, below, 1);
            grid_.Damage().MarkRows(regionTop_, regionBottom_ + 1);
        }
        BlankScreenRow(regionBottom_);
    }
}

void ScreenModel::ScrollDownBlank(int count) {
    const int first = FirstScreenRow();
    for (int n = 0; n < count; ++n) {
        const int top = first + regionTop_;
        const int below = first + regionBottom_ + 1;
        grid_.RotateRows(top, below, below - top - 1);
        BlankScreenRow(regionTop_);
        grid_.Damage().MarkRows(regionTop_, regionBottom_ + 1);
    }
}

void ScreenModel::MoveToRowScrolling(int target) {
    wrapPending_ = false;
    if (target < regionTop_) {
        ScrollDownBlank(1);
        target = std::max(target + 1, 0);
    }
    cursorRow_ = target;
    if (cursorRow_ > regionBottom_) {
        ScrollUpBlank(1);
        cursorRow_ = regionBottom_;
    }
}

void ScreenModel::ScreenSetColumn(int column) {
    wrapPending_ = false;
    cursorColumn_ = Clamp(column, 0, Columns() - 1);
}

void ScreenModel::DeleteLinesIgnoringRegion(int count) {
    const int n = std::max(count, 1);
    const int rows = Geometry().screenRows;
    // A count that reaches past the screen moves nothing.
    if (n < rows - cursorRow_) {
        const int first = FirstScreenRow();
        grid_.RotateRows(first + cursorRow_, first + rows, n);
        grid_.BlankRows(first + rows - n, first + rows);
        grid_.Damage().MarkRows(cursorRow_, rows);
    }
}

void ScreenModel::ScreenRepaint() {
    grid_.Damage().MarkAll();
}

// Erasing blanks the history too, and the spare row below the screen.
void ScreenModel::EraseBuffer() {
    grid_.BlankRows(0, BufferRows());
    pen_ = Cell{};
    grid_.Damage().MarkAll();
}

void ScreenModel::EraseBufferToCursor() {
    const int cursorRow = FirstScreenRow() + cursorRow_;
    grid_.BlankRows(0, cursorRow);
    RepairWide(cursorRow_, 0, cursorColumn_);
    ScreenGrid::BlankCells(grid_.RowCells(cursorRow), cursorColumn_);
    grid_.SetRowContinues(cursorRow, false);
    grid_.Damage().MarkAll();
}

void ScreenModel::EraseBufferFromCursor() {
    const int cursorRow = FirstScreenRow() + cursorRow_;
    RepairWide(cursorRow_, cursorColumn_, Columns());
    ScreenGrid::BlankCells(CursorCell(), Columns() - cursorColumn_);
    if (cursorColumn_ == 0) grid_.SetRowContinues(cursorRow, false);
    grid_.BlankRows(cursorRow + 1, BufferRows());
    grid_.Damage().MarkAll();
}

// Bounds outside the screen are pulled onto it: every scroll and row move
// relies on the region lying within the screen rows.
void ScreenModel::SetRegion(int top, int bottom) {
    const int last = Geometry().screenRows - 1;
    regionTop_ = Clamp(top, 0, last);
    regionBottom_ = Clamp(bottom, 0, last);
}

void ScreenModel::FillBufferWithE() {
    pen_ = Cell{};
    Cell letter;
    letter.character = U'E';
    grid_.FillRows(0, BufferRows(), letter);
    grid_.Damage().MarkAll();
}

void ScreenModel::ScreenShowCode(std::uint8_t b) {
    char text[8];
    std::snprintf(text, sizeof text, "[%d]", b);
    ScreenWriteString(text);
}

}  // namespace quill
