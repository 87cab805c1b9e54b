#include "core/terminal/screen_grid.h"

#include <algorithm>

namespace quill {

namespace {

using Rows = std::vector<std::unique_ptr<Cell[]>>;

std::size_t Size(int count) {
    return static_cast<std::size_t>(count);
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

// The screen shown is the last `screenRows` of `rows`. It becomes the last
// `wanted` of them: fewer rows drop up to `cutBelow` rows from the bottom
// first, and blank rows are added below when there are too few. Returns
// where the new screen starts in `rows`.
int FitShownScreen(Rows& rows, int screenRows, int wanted, int cutBelow) {
    if (wanted < screenRows)
        rows.resize(rows.size() - Size(std::min(screenRows - wanted, cutBelow)));
    if (rows.size() < Size(wanted)) rows.resize(Size(wanted));
    return static_cast<int>(rows.size()) - wanted;
}

}  // namespace

ScreenGeometry ScreenGrid::Capped(ScreenGeometry geometry) {
    geometry.historyRows = std::min(geometry.historyRows, kHistoryCellLimit / geometry.columns);
    return geometry;
}

ScreenGrid::ScreenGrid(ScreenGeometry geometry)
    : geometry_(Capped(geometry)),
      columns_(geometry.columns),
      ringRows_(geometry_.historyRows + geometry.screenRows),
      ring_(Size(ringRows_)),
      blankRow_(Size(columns_)),
      otherScreen_(Size(geometry.screenRows)),
      rotation_(Size(geometry.screenRows)),
      damage_(geometry.screenRows, geometry.columns) {}

// A history row written is in use, and so is every newer one: those that
// were out of use are blanked on the way.
Cell* ScreenGrid::RowIntoUse(int bufferRow) {
    for (int r = bufferRow; r < OldestRowInUse(); ++r) ClearRow(r);
    historyDepth_ = std::max(historyDepth_, FirstScreenRow() - bufferRow);
    RowStore& row = RingSlot(bufferRow);
    if (row == nullptr) row = std::make_unique<Cell[]>(Size(columns_ + 1));
    return row.get();
}

void ScreenGrid::SetRowContinues(int bufferRow, bool continues) {
    if (bufferRow >= BufferRows()) return;
    if (!continues && !RowContinues(bufferRow)) return;
    Cell& about = RowCells(bufferRow)[columns_];
    about.flags = static_cast<std::uint16_t>(continues ? about.flags | kRowContinues
                                                       : about.flags & ~kRowContinues);
}

void ScreenGrid::SetRowLineSize(int bufferRow, LineSize size) {
    if (size == RowLineSize(bufferRow)) return;
    doubleRows_ = doubleRows_ || size != LineSize::kSingle;
    Cell& about = RowCells(bufferRow)[columns_];
    about.flags = static_cast<std::uint16_t>((about.flags & ~kLineSizeBits) |
                                             static_cast<int>(size) << kLineSizeShift);
}

// The alternate screen follows the same rules without a history while it
// shows, and keeps its top rows while it does not; so does the normal screen
// behind it.
int ScreenGrid::Resize(ScreenGeometry wanted, int cutBelow) {
    const bool alternate = alternate_;
    if (alternate) ExchangeScreens();
    // The history in use and the normal screen, oldest first.
    Rows lines;
    for (int r = OldestRowInUse(); r < ringRows_; ++r) {
        lines.push_back(std::move(RingSlot(r)));
    }
    int start = historyDepth_;  // where the normal screen starts in `lines`
    int moved = 0;
    if (alternate) {
        const int top =
            FitShownScreen(otherScreen_, geometry_.screenRows, wanted.screenRows, cutBelow);
        otherScreen_.erase(otherScreen_.begin(), otherScreen_.begin() + top);
        moved = -top;
        lines.resize(Size(start + wanted.screenRows));
    } else {
        start = FitShownScreen(lines, geometry_.screenRows, wanted.screenRows, cutBelow);
        moved = historyDepth_ - start;
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
    damage_ = ScreenDamage(wanted.screenRows, columns_);
    damage_.MarkAll();
    if (alternate) ExchangeScreens();
    return moved;
}

void ScreenGrid::RotateRows(int first, int end, int shift) {
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
void ScreenGrid::BlankRows(int first, int end) {
    const int history = FirstScreenRow();
    if (first <= OldestRowInUse() && end > OldestRowInUse()) {
        historyDepth_ = history - std::min(end, history);
    }
    for (int r = std::max(first, OldestRowInUse()); r < end; ++r) ClearRow(r);
}

void ScreenGrid::FillRows(int first, int end, const Cell& cell) {
    for (int r = first; r < end; ++r) {
        Cell* cells = RowCells(r);
        std::fill_n(cells, columns_, cell);
        cells[columns_] = Cell{};  // neither continued nor of double size
    }
}

void ScreenGrid::SetAlternateScreen(bool on) {
    if (on == alternate_) return;
    ExchangeScreens();
    alternate_ = on;
    damage_.MarkAll();
}

void ScreenGrid::ExchangeScreens() {
    for (int r = 0; r < geometry_.screenRows; ++r) {
        std::swap(RingSlot(FirstScreenRow() + r), otherScreen_[Size(r)]);
    }
}

std::uint16_t ScreenGrid::JoinMark(std::uint16_t marks, char32_t mark) {
    if (marks_.ReclaimDue()) ReclaimMarks();
    return marks_.Join(marks, mark);
}

std::uint16_t ScreenGrid::AddLink(std::string_view id, std::string_view target,
                                  std::uint16_t keptLink) {
    std::uint16_t entry = links_.Add(id, target);
    const std::size_t cells = static_cast<std::size_t>(BufferRows() - OldestRowInUse()) *
                              static_cast<std::size_t>(columns_);
    if (entry == 0 && !target.empty() && links_.ReclaimDue(cells)) {
        ReclaimLinks(keptLink);
        entry = links_.Add(id, target);
    }
    return entry;
}

// Every row the grid keeps is searched for the entries its cells use.
void ScreenGrid::ReclaimMarks() {
    std::vector<bool> used(CombiningMarks::kMaxEntries + 1);
    ForEachKeptRow([&used](std::span<const Cell> cells) {
        for (const Cell& cell : cells) used[cell.marks] = true;
    });
    marks_.Reclaim(used);
}

void ScreenGrid::ReclaimLinks(std::uint16_t keptLink) {
    std::vector<bool> used(Hyperlinks::kMaxEntries + 1);
    ForEachKeptRow([&used](std::span<const Cell> cells) {
        for (const Cell& cell : cells) used[cell.Link()] = true;
    });
    used[keptLink] = true;
    links_.Reclaim(used);
}

void ScreenGrid::ForEachKeptRow(const std::function<void(std::span<const Cell>)>& note) const {
    // Every stored cell, the half a double row hides too: its marks and
    // links show again when the row is single once more.
    for (int r = OldestRowInUse(); r < BufferRows(); ++r) {
        if (const Cell* cells = StoredRow(r)) note({cells, static_cast<std::size_t>(columns_)});
    }
    for (const RowStore& row : otherScreen_) {
        if (row != nullptr) note({row.get(), static_cast<std::size_t>(columns_)});
    }
}

}  // namespace quill
