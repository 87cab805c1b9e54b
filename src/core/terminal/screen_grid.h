#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "core/interfaces/cell.h"
#include "core/interfaces/line_size.h"
#include "core/interfaces/screen_damage.h"
#include "core/interfaces/screen_geometry.h"
#include "core/terminal/combining_marks.h"
#include "core/terminal/hyperlinks.h"

namespace quill {

// The history never holds more cells than this, whatever the width: a wide
// screen keeps fewer history rows.
constexpr int kHistoryCellLimit = 16'000'000;

// The screen's storage: rows of cells, the history rows above the screen
// rows and one spare row below them, addressed as buffer rows (0 the oldest
// history row, the history's depth the first screen row). The history and
// screen rows are kept in a ring, so that scrolling moves row pointers, never
// cells. A row gets its cells when it is first written, so a deep history
// costs memory only as it fills; a row without cells reads as blank, and so
// does a history row older than the history in use, so erasing the history
// costs nothing per row. Also the other screen's rows, the side tables of
// combining marks and links the cells point into, and what changed (Damage).
// The terminal's state, the cursor among it, lives in ScreenModel, which
// tells the grid what to change.
class ScreenGrid {
  public:
    explicit ScreenGrid(ScreenGeometry geometry);
    ScreenGrid(const ScreenGrid&) = delete;
    ScreenGrid& operator=(const ScreenGrid&) = delete;

    // The shape with as many history rows as the cell limit leaves it.
    static ScreenGeometry Capped(ScreenGeometry geometry);
    // The storage at a new, capped shape. The shown screen loses at most
    // `cutBelow` rows from its bottom, then rows leave through its top into
    // the history; more rows come back from the history as far as it has
    // them, then blank rows are added below. Rows are not reflowed: narrowing
    // cuts them, widening adds blank cells. Returns how far the shown
    // screen's rows moved down (up when negative).
    int Resize(ScreenGeometry wanted, int cutBelow);

    const ScreenGeometry& Geometry() const { return geometry_; }
    int Columns() const { return columns_; }
    int BufferRows() const { return ringRows_ + 1; }
    int FirstScreenRow() const { return geometry_.historyRows; }
    // The history rows in use: the newest ones, up to the buffer row just
    // above the screen, that rows have scrolled into since it was last
    // erased.
    int HistoryDepth() const { return historyDepth_; }
    // The cells a row shows: all of its columns, or the first half of them
    // in a row of double width.
    std::span<const Cell> Row(int bufferRow) const {
        const Cell* cells = StoredRow(bufferRow);
        if (cells == nullptr) return {blankRow_.data(), static_cast<std::size_t>(columns_)};
        const int shown = (cells[columns_].flags & kLineSizeBits) != 0 ? columns_ / 2 : columns_;
        return {cells, static_cast<std::size_t>(shown)};
    }
    // Whether a row continues the one above: the host's text wrapped into it
    // at the margin. Set by the wrap and kept as the row scrolls into the
    // history; cleared when the row is blanked whole (scrolled in, erased,
    // history erased), erased from its start, when the row above is erased
    // up to its end, or when lines inserted, deleted or scrolled within a
    // region put another row above it.
    bool RowContinues(int bufferRow) const {
        const Cell* cells = StoredRow(bufferRow);
        return cells != nullptr && cells[columns_].Has(kRowContinues);
    }
    // The row's line size, kept beside that flag and moving with the row
    // the same way; set on the cursor's row (SetLineSize), single again
    // when the row is blanked whole, erased whole by ED, filled by DECALN,
    // or comes in by inserting, deleting or scrolling lines.
    LineSize RowLineSize(int bufferRow) const {
        const Cell* cells = StoredRow(bufferRow);
        return cells == nullptr ? LineSize::kSingle
                                : static_cast<LineSize>((cells[columns_].flags & kLineSizeBits) >>
                                                        kLineSizeShift);
    }
    void SetRowContinues(int bufferRow, bool continues);
    void SetRowLineSize(int bufferRow, LineSize size);
    // Rows scrolled up into the history so far (a resize moves rows through
    // the top too). A row's text keeps its line, LinesScrolled() plus its
    // buffer row, while the ring turns.
    std::int64_t LinesScrolled() const { return linesScrolled_; }
    // What changed since the window last took it; the window clears it.
    const ScreenDamage& Damage() const { return damage_; }
    ScreenDamage& Damage() { return damage_; }
    void ClearDamage() { damage_.Clear(); }

    // The combining marks that follow a cell's character; empty for none.
    std::u32string_view Marks(const Cell& cell) const { return marks_.Marks(cell.marks); }
    // The marks' entry with `mark` joined to those of entry `marks`; the
    // entries no cell holds are freed first when the table is due for it.
    std::uint16_t JoinMark(std::uint16_t marks, char32_t mark);
    // The target of the link a cell is part of; empty for none.
    std::string_view LinkTarget(const Cell& cell) const { return links_.Target(cell.Link()); }
    // The link table's entry for `id` and `target`, 0 for none. A link
    // refused once enough were refused for the cells kept frees the entries
    // no cell holds, `keptLink` aside, and is tried again.
    std::uint16_t AddLink(std::string_view id, std::string_view target, std::uint16_t keptLink);

    // A row's cells, the cell that describes it included; none for a row
    // never written or out of use.
    const Cell* StoredRow(int bufferRow) const {
        return bufferRow < OldestRowInUse() ? nullptr : RowAt(bufferRow).get();
    }
    // The row's cells for writing; a row never written gets them now, and a
    // history row out of use is brought into use blank.
    Cell* RowCells(int bufferRow) {
        RowStore& row = RingSlot(bufferRow);
        if (row != nullptr && bufferRow >= OldestRowInUse()) return row.get();
        return RowIntoUse(bufferRow);
    }
    // The row's cells and the cell that describes it, blank.
    void ClearRow(int bufferRow) {
        if (Cell* cells = RingSlot(bufferRow).get()) BlankCells(cells, columns_ + 1);
    }
    // Buffer rows first to end - 1 (all within the ring) receive the rows
    // `shift` further down, the first ones coming round to the end.
    void RotateRows(int first, int end, int shift);
    void BlankRows(int first, int end);
    void FillRows(int first, int end, const Cell& cell);
    // The screen's rows above buffer row `below` move up one, the top one
    // into the history: the oldest history row comes round as row below - 1,
    // and rows below it are turned back into place.
    void ScrollIntoHistory(int below) {
        ringBase_ = ringBase_ + 1 == ringRows_ ? 0 : ringBase_ + 1;
        ++linesScrolled_;
        historyDepth_ = std::min(historyDepth_ + 1, geometry_.historyRows);
        if (below < ringRows_) RotateRows(below - 1, ringRows_, ringRows_ - below);
    }

    // The alternate screen: the screen rows are exchanged with a second set,
    // which has no history. Each keeps its cells while the other shows.
    void SetAlternateScreen(bool on);
    bool AlternateScreen() const { return alternate_; }

    // Set at the first wide character: until then no cell is a right half.
    void NoteWideCharacter() { wideCharacters_ = true; }
    bool WideCharacters() const { return wideCharacters_; }
    // Set at the first row of double size: until then every row is single.
    bool DoubleRows() const { return doubleRows_; }

    // A blank cell is all zero bytes.
    static void BlankCells(Cell* cells, int count) {
        std::memset(static_cast<void*>(cells), 0, static_cast<std::size_t>(count) * sizeof(Cell));
    }

  private:
    // One row's cells; none for a row never written, which reads as blank.
    // Past the last column the store holds one cell more, which describes
    // the row as a whole: its flags hold kRowContinues.
    using RowStore = std::unique_ptr<Cell[]>;
    static constexpr std::uint16_t kRowContinues = 1;
    static constexpr int kLineSizeShift = 1;
    static constexpr std::uint16_t kLineSizeBits = 3 << kLineSizeShift;

    // The ring's place of a buffer row of the history or the screen.
    std::size_t RingPosition(int bufferRow) const {
        int at = ringBase_ + bufferRow;
        if (at >= ringRows_) at -= ringRows_;
        return static_cast<std::size_t>(at);
    }
    // Where a buffer row's cells are kept: the spare row on its own, the
    // others through the ring.
    const RowStore& RowAt(int bufferRow) const {
        return bufferRow == ringRows_ ? spare_ : ring_[RingPosition(bufferRow)];
    }
    RowStore& RingSlot(int bufferRow) {
        return bufferRow == ringRows_ ? spare_ : ring_[RingPosition(bufferRow)];
    }
    // History rows above this one are out of use: what they hold is stale.
    int OldestRowInUse() const { return geometry_.historyRows - historyDepth_; }
    Cell* RowIntoUse(int bufferRow);
    void ExchangeScreens();
    void ReclaimMarks();
    void ReclaimLinks(std::uint16_t keptLink);
    // Hands every row of cells the grid keeps in use, both screens', to `note`.
    void ForEachKeptRow(const std::function<void(std::span<const Cell>)>& note) const;

    ScreenGeometry geometry_;
    int columns_;
    // The history and screen rows, in ring order from ringBase_.
    int ringRows_;
    std::vector<RowStore> ring_;
    int ringBase_ = 0;
    int historyDepth_ = 0;
    std::int64_t linesScrolled_ = 0;
    RowStore spare_;
    // What a row never written reads as.
    std::vector<Cell> blankRow_;
    // The screen rows not shown: the alternate screen's, or the normal one's
    // while the alternate one shows.
    std::vector<RowStore> otherScreen_;
    bool alternate_ = false;
    std::vector<RowStore> rotation_;  // scratch for RotateRows
    ScreenDamage damage_;
    CombiningMarks marks_;
    Hyperlinks links_;
    bool wideCharacters_ = false;
    bool doubleRows_ = false;
};

}  // namespace quill
