#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "core/interfaces/cell.h"
#include "core/interfaces/display_sink.h"
#include "core/interfaces/scroll_off_observer.h"
#include "core/interfaces/terminal_options.h"
#include "core/terminal/screen_damage.h"

namespace quill {

// The plain terminal's shape: 80 columns, 24 screen rows, 275 history rows.
constexpr int kColumns = 80;
constexpr int kScreenRows = 24;
constexpr int kHistoryRows = 275;
constexpr int kBufferRows = kHistoryRows + kScreenRows + 1;  // history, screen, one spare row
constexpr int kFirstScreenRow = kHistoryRows;
constexpr int kLiveViewTop = kHistoryRows;

// The history never holds more cells than this, whatever the width: a wide
// screen keeps fewer history rows.
constexpr int kHistoryCellLimit = 16'000'000;

// The size of a screen: its columns, its rows and the rows of history above.
struct ScreenGeometry {
    int columns = kColumns;
    int screenRows = kScreenRows;
    int historyRows = kHistoryRows;
    bool operator==(const ScreenGeometry&) const = default;
};

// The terminal's screen: rows of cells, the history rows above the screen
// rows and one spare row below them, addressed as buffer rows (0 the oldest
// history row, the history's depth the first screen row). The history and
// screen rows are kept in a ring, so that scrolling moves row pointers, never
// cells. Also the cursor, the scrolling region and the current rendition.
// Nothing here asks how many columns and rows the plain terminal has: the
// geometry is the model's parameter, and Resize changes it. A row gets its
// cells when it is first written, so a deep history costs memory only as it
// fills; a row without cells reads as blank, and so does a history row older
// than the history in use, so erasing the history costs nothing per row.
// Every writer of the screen goes through the operations below; they change
// the cells and record what changed (Damage), never drawing themselves.
class ScreenModel {
  public:
    // Reads the wrap option whenever text reaches the last column.
    ScreenModel(DisplaySink& display, const TerminalOptions& options, ScreenGeometry geometry = {});
    ScreenModel(const ScreenModel&) = delete;
    ScreenModel& operator=(const ScreenModel&) = delete;

    // Blank every cell, as the window does when created.
    void BlankScreenMemory();

    // A new shape; the history is cut to kHistoryCellLimit cells. Rows are
    // not reflowed: narrowing cuts them, widening adds blank cells. Fewer
    // rows: the rows below the cursor go first, then rows leave through the
    // top into the history, so the cursor's row stays. More rows: rows come
    // back from the history as far as it has them, then blank rows are added
    // below. The cursor is clamped, the scrolling region reset. The alternate
    // screen follows the same rules without a history while it shows, and
    // keeps its top rows while it does not; so does the normal screen behind it.
    void Resize(ScreenGeometry wanted);

    void ScreenPlaceChar(char32_t c);
    void ScreenWriteByte(std::uint8_t b);
    void ScreenWriteString(std::string_view s);
    // A run of displayable bytes, as many ScreenPlaceChar calls: cells up to
    // the last column are written in one go.
    void ScreenWriteText(const std::uint8_t* text, int count);
    // ScreenWriteString of `count` spaces, for erasing within a line.
    void ScreenWriteSpaces(int count);
    void ScreenScrollUp(int count);
    void ScreenScrollDown(int count);
    void ScreenMoveToRow(int target);
    void ScreenSetColumn(int column);
    int ScreenColumn();
    int ScreenRow();
    void ScreenUpdateCaret();
    void ScreenDeleteChars(int count);
    void ScreenDeleteLines(int count);
    void ScreenRepaint();
    void ScreenEraseAll();
    void ScreenEraseToCursor();
    void ScreenEraseFromCursor();
    void ScreenSetAttribute(int rendition);
    // The rendition placed characters take, whole.
    const Cell& Pen() const { return pen_; }
    void ScreenSetPen(const Cell& pen) { pen_ = pen; }
    void ScreenSetRegion(int top, int bottom);
    void ScreenAlignmentFill();
    // Show codes: a byte as its decimal value in brackets, with ScreenWriteString.
    void ScreenShowCode(std::uint8_t b);

    // Who is told of rows scrolled off the top; none (null) by default.
    void SetScrollOffObserver(ScrollOffObserver* observer) { scrollOff_ = observer; }

    // Whether a wrap waits for the next printable character (see Dialect);
    // switching drops a wrap that waits.
    void SetDeferredWrap(bool on) {
        deferredWrap_ = on;
        wrapPending_ = false;
    }

    // The alternate screen: the screen rows are exchanged with a second set,
    // which has no history; while it shows, nothing scrolls into the history.
    // Each keeps its cells while the other shows.
    void SetAlternateScreen(bool on);
    bool AlternateScreen() const { return alternate_; }

    // The caret follows the cursor only while the window shows it.
    void SetCaretVisible(bool visible) { caretVisible_ = visible; }
    bool CaretVisible() const { return caretVisible_; }

    // Read access for painting, copy, print, the tools and tests.
    const ScreenGeometry& Geometry() const { return geometry_; }
    int BufferRows() const { return ringRows_ + 1; }
    int FirstScreenRow() const { return geometry_.historyRows; }
    // The history rows in use: the newest ones, up to the buffer row just
    // above the screen, that rows have scrolled into since it was last
    // erased.
    int HistoryDepth() const { return historyDepth_; }
    std::span<const Cell> Row(int bufferRow) const {
        const Cell* cells = bufferRow < OldestRowInUse() ? nullptr : RowAt(bufferRow).get();
        return {cells != nullptr ? cells : blankRow_.data(), static_cast<std::size_t>(columns_)};
    }
    char32_t CharAt(int bufferRow, int column) const { return Row(bufferRow)[column].Character(); }
    std::uint8_t AttrAt(int bufferRow, int column) const {
        return AttributeCode(Row(bufferRow)[column]);
    }
    // What changed since the window last took it; the window clears it.
    const ScreenDamage& Damage() const { return damage_; }
    void ClearDamage() { damage_.Clear(); }
    int CursorRow() const { return cursorRow_; }
    int CursorColumn() const { return cursorColumn_; }
    int RegionTop() const { return regionTop_; }
    int RegionBottom() const { return regionBottom_; }
    std::uint8_t CurrentAttribute() const { return AttributeCode(pen_); }

  private:
    // One row's cells; none for a row never written, which reads as blank.
    using RowStore = std::unique_ptr<Cell[]>;

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
    // The row's cells for writing; a row never written gets them now, and a
    // history row out of use is brought into use blank.
    Cell* RowCells(int bufferRow) {
        RowStore& row = RingSlot(bufferRow);
        if (row != nullptr && bufferRow >= OldestRowInUse()) return row.get();
        return RowIntoUse(bufferRow);
    }
    Cell* RowIntoUse(int bufferRow);
    void ClearRow(int bufferRow);
    void ExchangeScreens();
    Cell* CursorCell() { return RowCells(FirstScreenRow() + cursorRow_) + cursorColumn_; }
    template <class CharacterAt>
    void WriteRun(int count, CharacterAt characterAt);
    void RotateRows(int first, int end, int shift);
    void BlankRows(int first, int end);
    void FillRows(int first, int end, const Cell& cell);
    void BlankScreenRow(int row);
    void Caret();
    void WrapToNextRow();

    DisplaySink& display_;
    const TerminalOptions& options_;
    ScrollOffObserver* scrollOff_ = nullptr;
    ScreenGeometry geometry_;
    int columns_;
    // The history and screen rows, in ring order from ringBase_.
    int ringRows_;
    std::vector<RowStore> ring_;
    int ringBase_ = 0;
    int historyDepth_ = 0;
    RowStore spare_;
    // What a row never written reads as.
    std::vector<Cell> blankRow_;
    // The screen rows not shown: the alternate screen's, or the normal one's
    // while the alternate one shows.
    std::vector<RowStore> otherScreen_;
    bool alternate_ = false;
    std::vector<RowStore> rotation_;  // scratch for RotateRows
    int cursorRow_ = 0;
    int cursorColumn_ = 0;
    int regionTop_ = 1;
    int regionBottom_;
    // The rendition placed characters take: a blank cell with its colours and flags.
    Cell pen_;
    bool caretVisible_ = true;
    ScreenDamage damage_;
    bool deferredWrap_ = false;
    // A character went into the last column with wrap on; any cursor move
    // cancels the wrap.
    bool wrapPending_ = false;
};

}  // namespace quill
