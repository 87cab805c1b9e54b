#include "core/terminal/screen_model.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace quill {

namespace {

using Rows = std::vector<std::unique_ptr<Cell[]>>;

std::size_t Size(int count) {
    return static_cast<std::size_t>(count);
}

// The shape with as many history rows as the cell limit leaves it.
ScreenGeometry Capped(ScreenGeometry geometry) {
    geometry.historyRows = std::min(geometry.historyRows, kHistoryCellLimit / geometry.columns);
    return geometry;
}

// A row's cells at another width: cut, or with blank cells added; the cell
// that describes the row goes with it.
std::unique_ptr<Cell[]> Rewidth(const std::unique_ptr<Cell[]>& row, int from, int to) {
    if (row == nullptr) return nullptr;
    auto cells = std::make_unique<Cell[]>(Size(to + 1));
    std::copy_n(row.get(), std::min(from, to), cells.get());
    cells[Size(to)] = row[Size(from)];
    // A wide character cut in two at the new edge goes whole.
    if (to < from && row[Size(to)].Has(cell_flags::kWideRight)) cells[Size(to - 1)] = Cell{};
    return cells;
}

// The screen shown is the last `screenRows` of `rows`, with the cursor in
// rows[cursor]. It becomes the last `wanted` of them: fewer rows drop those
// below the cursor first, and blank rows are added below when there are too
// few. Returns where the new screen starts in `rows`.
int FitShownScreen(Rows& rows, int screenRows, int wanted, int cursor) {
    const int below = static_cast<int>(rows.size()) - 1 - cursor;
    if (wanted < screenRows) rows.resize(rows.size() - Size(std::min(screenRows - wanted, below)));
    if (rows.size() < Size(wanted)) rows.resize(Size(wanted));
    return static_cast<int>(rows.size()) - wanted;
}

}  // namespace

void ScreenModel::BlankCells(Cell* cells, int count) {
    std::memset(static_cast<void*>(cells), 0, static_cast<std::size_t>(count) * sizeof(Cell));
}

ScreenModel::ScreenModel(const TerminalOptions& options, ScreenGeometry geometry)
    : options_(options),
      geometry_(Capped(geometry)),
      columns_(geometry.columns),
      ringRows_(geometry_.historyRows + geometry.screenRows),
      ring_(Size(ringRows_)),
      blankRow_(Size(columns_)),
      otherScreen_(Size(geometry.screenRows)),
      rotation_(Size(geometry.screenRows)),
      regionBottom_(geometry.screenRows - 1),
      damage_(geometry.screenRows, geometry.columns) {}

void ScreenModel::BlankScreenMemory() {
    BlankRows(0, BufferRows());
    damage_.MarkAll();
}

// A history row written is in use, and so is every newer one: those that
// were out of use are blanked on the way.
Cell* ScreenModel::RowIntoUse(int bufferRow) {
    for (int r = bufferRow; r < OldestRowInUse(); ++r) ClearRow(r);
    historyDepth_ = std::max(historyDepth_, FirstScreenRow() - bufferRow);
    RowStore& row = RingSlot(bufferRow);
    if (row == nullptr) row = std::make_unique<Cell[]>(Size(columns_ + 1));
    return row.get();
}

// The row's cells and the cell that describes it.
void ScreenModel::ClearRow(int bufferRow) {
    if (Cell* cells = RingSlot(bufferRow).get()) BlankCells(cells, columns_ + 1);
}

void ScreenModel::SetRowContinues(int bufferRow, bool continues) {
    if (bufferRow >= BufferRows()) return;
    if (!continues && !RowContinues(bufferRow)) return;
    Cell& about = RowCells(bufferRow)[columns_];
    about.flags = static_cast<std::uint16_t>(continues ? about.flags | kRowContinues
                                                       : about.flags & ~kRowContinues);
}

void ScreenModel::SetRowLineSize(int bufferRow, LineSize size) {
    if (size == RowLineSize(bufferRow)) return;
    doubleRows_ = doubleRows_ || size != LineSize::kSingle;
    Cell& about = RowCells(bufferRow)[columns_];
    about.flags = static_cast<std::uint16_t>((about.flags & ~kLineSizeBits) |
                                             static_cast<int>(size) << kLineSizeShift);
}

void ScreenModel::Resize(ScreenGeometry wanted) {
    wanted = Capped(wanted);
    if (wanted == geometry_) return;
    const bool alternate = alternate_;
    if (alternate) ExchangeScreens();
    // The history in use and the normal screen, oldest first.
    Rows lines;
    for (int r = OldestRowInUse(); r < ringRows_; ++r) {
        lines.push_back(std::move(RingSlot(r)));
    }
    int start = historyDepth_;  // where the normal screen starts in `lines`
    if (alternate) {
        const int top =
            FitShownScreen(otherScreen_, geometry_.screenRows, wanted.screenRows, cursorRow_);
        otherScreen_.erase(otherScreen_.begin(), otherScreen_.begin() + top);
        cursorRow_ -= top;
        lines.resize(Size(start + wanted.screenRows));
    } else {
        start = FitShownScreen(lines, geometry_.screenRows, wanted.screenRows,
                               historyDepth_ + cursorRow_);
        cursorRow_ += historyDepth_ - start;
        otherScreen_.resize(Size(wanted.screenRows));
    }
    const int dropped = std::max(0, start - wanted.historyRows);
    lines.erase(lines.begin(), lines.begin() + dropped);
    if (wanted.columns != columns_) {
        for (RowStore& row : lines) row = Rewidth(row, columns_, wanted.columns);
        for (RowStore& row : otherScreen_) row = Rewidth(row, columns_, wanted.columns);
        spare_ = Rewidth(spare_, columns_, wanted.columns);
    }
    // The rows that went through the top, and the history's new place.
    linesScrolled_ += start - historyDepth_ + geometry_.historyRows - wanted.historyRows;
    historyDepth_ = start - dropped;
    geometry_ = wanted;
    columns_ = wanted.columns;
    ringRows_ = wanted.historyRows + wanted.screenRows;
    ringBase_ = 0;
    ring_.clear();
    ring_.resize(Size(ringRows_));
    std::move(lines.begin(), lines.end(), ring_.begin() + (FirstScreenRow() - historyDepth_));
    blankRow_.assign(Size(columns_), Cell{});
    rotation_.resize(Size(wanted.screenRows));
    cursorColumn_ = std::min(cursorColumn_, columns_ - 1);
    wrapPending_ = false;
    ResizeEditing();
    damage_ = ScreenDamage(wanted.screenRows, columns_);
    damage_.MarkAll();
    if (alternate) ExchangeScreens();
}

// Buffer rows first to end - 1 (all within the ring) receive the rows
// `shift` further down, the first ones coming round to the end.
void ScreenModel::RotateRows(int first, int end, int shift) {
    const int length = end - first;
    if (length < 2) return;  // a region of one row, or an upside-down one
    for (int i = 0; i < length; ++i) rotation_[Size(i)] = std::move(RingSlot(first + i));
    std::rotate(rotation_.begin(), rotation_.begin() + shift, rotation_.begin() + length);
    for (int i = 0; i < length; ++i) RingSlot(first + i) = std::move(rotation_[Size(i)]);
    // The first row and the one below the range now follow other rows.
    SetRowContinues(first, false);
    SetRowContinues(end, false);
}

// Rows keep their cells, cleared in place, for the text that follows. A
// history erased from its oldest row in use goes out of use instead, which
// leaves nothing to clear there.
void ScreenModel::BlankRows(int first, int end) {
    const int history = FirstScreenRow();
    if (first <= OldestRowInUse() && end > OldestRowInUse()) {
        historyDepth_ = history - std::min(end, history);
    }
    for (int r = std::max(first, OldestRowInUse()); r < end; ++r) ClearRow(r);
}

void ScreenModel::FillRows(int first, int end, const Cell& cell) {
    for (int r = first; r < end; ++r) {
        Cell* cells = RowCells(r);
        std::fill_n(cells, columns_, cell);
        cells[columns_] = Cell{};  // neither continued nor of double size
    }
}

void ScreenModel::BlankScreenRow(int row) {
    ClearRow(FirstScreenRow() + row);
}

void ScreenModel::WrapToNextRow() {
    CarriageReturn();
    Index();
    SetRowContinues(FirstScreenRow() + cursorRow_, true);
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
    damage_.MarkColumns(row, column, column + 1);
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
    cursorColumn_ = std::min((cursorColumn_ / kTabWidth + 1) * kTabWidth, columns_ - 1);
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
            damage_.MarkColumns(cursorRow_, cursorColumn_, cursorColumn_ + run);
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
        if (regionTop_ == 0 && !alternate_) {
            if (scrollOff_ != nullptr) scrollOff_->RowScrolledOff(Row(first));
            // The oldest history row comes round as the region's new last row;
            // rows below the region are turned back into place.
            ringBase_ = ringBase_ + 1 == ringRows_ ? 0 : ringBase_ + 1;
            ++linesScrolled_;
            historyDepth_ = std::min(historyDepth_ + 1, geometry_.historyRows);
            if (below < ringRows_) RotateRows(below - 1, ringRows_, ringRows_ - below);
            damage_.ScrollUp(regionBottom_ + 1);
        } else {
            RotateRows(first + regionTop_, below, 1);
            damage_.MarkRows(regionTop_, regionBottom_ + 1);
        }
        BlankScreenRow(regionBottom_);
    }
}

void ScreenModel::SetAlternateScreen(bool on) {
    if (on == alternate_) return;
    ExchangeScreens();
    alternate_ = on;
    damage_.MarkAll();
}

void ScreenModel::ExchangeScreens() {
    for (int r = 0; r < geometry_.screenRows; ++r) {
        std::swap(RingSlot(FirstScreenRow() + r), otherScreen_[Size(r)]);
    }
}

void ScreenModel::ScrollDownBlank(int count) {
    const int first = FirstScreenRow();
    for (int n = 0; n < count; ++n) {
        const int top = first + regionTop_;
        const int below = first + regionBottom_ + 1;
        RotateRows(top, below, below - top - 1);
        BlankScreenRow(regionTop_);
        damage_.MarkRows(regionTop_, regionBottom_ + 1);
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
    cursorColumn_ = Clamp(column, 0, columns_ - 1);
}

void ScreenModel::DeleteLinesIgnoringRegion(int count) {
    const int n = std::max(count, 1);
    const int rows = geometry_.screenRows;
    // A count that reaches past the screen moves nothing.
    if (n < rows - cursorRow_) {
        const int first = FirstScreenRow();
        RotateRows(first + cursorRow_, first + rows, n);
        BlankRows(first + rows - n, first + rows);
        damage_.MarkRows(cursorRow_, rows);
    }
}

void ScreenModel::ScreenRepaint() {
    damage_.MarkAll();
}

// Erasing blanks the history too, and the spare row below the screen.
void ScreenModel::EraseBuffer() {
    BlankRows(0, BufferRows());
    pen_ = Cell{};
    damage_.MarkAll();
}

void ScreenModel::EraseBufferToCursor() {
    const int cursorRow = FirstScreenRow() + cursorRow_;
    BlankRows(0, cursorRow);
    RepairWide(cursorRow_, 0, cursorColumn_);
    BlankCells(RowCells(cursorRow), cursorColumn_);
    SetRowContinues(cursorRow, false);
    damage_.MarkAll();
}

void ScreenModel::EraseBufferFromCursor() {
    const int cursorRow = FirstScreenRow() + cursorRow_;
    RepairWide(cursorRow_, cursorColumn_, columns_);
    BlankCells(CursorCell(), columns_ - cursorColumn_);
    if (cursorColumn_ == 0) SetRowContinues(cursorRow, false);
    BlankRows(cursorRow + 1, BufferRows());
    damage_.MarkAll();
}

// Bounds outside the screen are pulled onto it: every scroll and row move
// relies on the region lying within the screen rows.
void ScreenModel::SetRegion(int top, int bottom) {
    const int last = geometry_.screenRows - 1;
    regionTop_ = Clamp(top, 0, last);
    regionBottom_ = Clamp(bottom, 0, last);
}

void ScreenModel::FillBufferWithE() {
    pen_ = Cell{};
    Cell letter;
    letter.character = U'E';
    FillRows(0, BufferRows(), letter);
    damage_.MarkAll();
}

void ScreenModel::ScreenShowCode(std::uint8_t b) {
    char text[8];
    std::snprintf(text, sizeof text, "[%d]", b);
    ScreenWriteString(text);
}

}  // namespace quill
