#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/interfaces/cell.h"
#include "core/interfaces/line_size.h"
#include "core/interfaces/screen_damage.h"
#include "core/interfaces/screen_geometry.h"
#include "core/interfaces/scroll_off_observer.h"
#include "core/interfaces/terminal_options.h"
#include "core/terminal/screen_grid.h"

namespace quill {

// The width the extended terminal's column mode switches to.
constexpr int kWideColumns = 132;

// Where the screen's editing differs between dialects.
struct ScreenRules {
    // CR, LF, TAB, the wrap to the next row and deleting characters keep to
    // the margins the host set (xterm's editing). Or they know the scrolling
    // region only, as the plain terminal does: a line feed or reverse index
    // moves the cursor as MoveToRowScrolling does, tab stops are every eight
    // columns, and deleting characters reaches the row's end.
    bool hostMargins = false;
    // Text reaching the line's end continues on the next row while the
    // host's auto-wrap mode is on; or while the user's Wrap option is.
    bool hostAutoWrap = false;
    // With wrap on, a character written in the last column leaves the
    // cursor there, and the next printable character wraps first; or the
    // cursor wraps at once.
    bool deferredWrap = false;
    // The cells that deleting characters leaves at the end are erased (blank
    // in the pen's background); or they are spaces in the rendition the
    // first of them had.
    bool vacatedCellsErased = false;
};

// The terminal's screen: its state (the cursor, the scrolling region and
// side margins, the pen, the modes and tab stops) over a ScreenGrid, which
// stores the rows of cells (buffer rows: the history, the screen and one
// spare row) and their side tables. Nothing here asks how many columns and
// rows the plain terminal has: the geometry is the model's parameter, and
// Resize changes it. Every writer of the screen goes through the operations below; they change
// the cells and record what changed (Damage), never drawing themselves.
// Rows and columns are screen positions counted from 0, the margins' too.
// Where the plain and the extended terminal differ, the operation follows
// the dialect's ScreenRules, or each has its own operation, named for what
// it does. Erasing and scrolling in the extended terminal fill with the
// pen's background only. The left and right margins count while their mode
// (?69) is on; the scrolling region is the top and bottom margins.
class ScreenModel {
  public:
    // Reads the wrap option whenever text reaches the last column.
    explicit ScreenModel(const TerminalOptions& options, ScreenGeometry geometry = {});
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

    // A character into the cursor's cell as it is: one cell, whatever its
    // width.
    void PlaceInCell(char32_t c);
    // A character beyond ASCII as its width asks (screen_unicode.cpp): one
    // cell, two for a wide one (the right one flagged kWideRight, its
    // character 0), or a combining mark joined to the cell before the
    // cursor; a control character is dropped. A wide character that does
    // not fit in the last column wraps first, leaving that column blank,
    // with wrap on; with wrap off it takes the last two columns.
    void PlaceCharacter(char32_t c);
    // A byte of text: CR, LF and TAB act, the others are placed.
    void ScreenWriteByte(std::uint8_t b);
    void ScreenWriteString(std::string_view s);
    // A run of displayable bytes, as many PlaceInCell calls: cells up to
    // the last column are written in one go.
    void ScreenWriteText(const std::uint8_t* text, int count);
    // ScreenWriteString of `count` spaces, for erasing within a line.
    void ScreenWriteSpaces(int count);
    // Show codes: a byte as its decimal value in brackets, with ScreenWriteString.
    void ScreenShowCode(std::uint8_t b);
    // REP: the last character placed, again.
    void RepeatCharacter(int count);
    // The rendition placed characters take, whole.
    const Cell& Pen() const { return pen_; }
    // The pen keeps the hyperlink it holds: only SetLink changes that.
    void ScreenSetPen(const Cell& pen) {
        pen_ = pen;
        pen_.flags = static_cast<std::uint16_t>((pen.flags & ~cell_flags::kLinkBits) | penLink_);
    }
    // Hyperlinks, for the extended terminal (screen_hyperlinks.cpp).
    // Characters placed from now on are part of the link to `target` (OSC 8),
    // with cells of the same `id` and target one link; an empty target ends
    // the link, and so does one the side table refuses.
    void SetLink(std::string_view id, std::string_view target);

    // CR, LF and TAB, in text and inside escape sequences; false for other
    // bytes.
    bool FormatEffector(std::uint8_t b);
    // To the left margin for a cursor at or right of it, else to column 0.
    void CarriageReturn();
    // LF and IND: at the bottom margin the region scrolls (when the cursor
    // is inside the side margins); below it the cursor moves down to the
    // last row. Without the host's margins, MoveToRowScrolling the next row.
    void Index();
    // RI: Index upwards.
    void ReverseIndex();

    // The cursor to a place on the screen, clamped to it and to the half a
    // row of double size shows; no wrap waits.
    void MoveCursor(int row, int column);
    // The cursor to a column, clamped to the screen's width; no wrap waits.
    void ScreenSetColumn(int column);
    // The plain terminal's row moves: a row above the scrolling region
    // scrolls it down one row and the cursor lands one row lower than asked
    // (the top row at least); a row below it scrolls it up one row and the
    // cursor lands on its last row.
    void MoveToRowScrolling(int row);
    // CUP/HVP, VPA and HPA/CHA: positions relative to the margins in origin
    // mode; each clamped.
    void CursorTo(int row, int column);
    void CursorToRow(int row);
    void CursorToColumn(int column);
    // CUU, CUD, CUF, CUB: stop at a margin the cursor is inside, else at
    // the screen's edge.
    void CursorUp(int count);
    void CursorDown(int count);
    void CursorForward(int count);
    void CursorBackward(int count);
    // The cursor's position counted from the origin: the margins' top left
    // corner in origin mode, else the screen's (what CPR reports).
    int RelativeRow() const;
    int RelativeColumn() const;
    // The cursor as DECSC keeps it, and where DECRC puts it back.
    bool WrapPending() const { return wrapPending_; }
    // DECRC: the cursor's place and origin mode as DECSC saved them.
    struct SavedPlace {
        int row = 0;
        int column = 0;
        bool wrapPending = false;
        bool originMode = false;
    };
    void RestoreSavedCursor(const SavedPlace& place);

    // Tab stops: every eight columns at first.
    void TabForward(int count);
    void TabBackward(int count);
    void SetTabStop();
    void ClearTabStop();
    void ClearAllTabStops();
    void ResetTabStops() { tabStops_ = DefaultTabStops(Columns()); }

    // Erasing. EL and ED: 0 from the cursor, 1 up to it, 2 all; ED 3 clears
    // the history.
    void EraseInLine(int mode);
    void EraseInDisplay(int mode);
    void EraseChars(int count);
    // The plain terminal's erasing of the display: the history and the
    // spare row too. Erasing everything also resets the pen.
    void EraseBuffer();
    void EraseBufferToCursor();
    void EraseBufferFromCursor();
    // The whole screen blank and the cursor home, as a reset leaves it.
    void ClearScreenForReset();
    // DECCOLM's: the screen erased as ED 2 does, the margins at its edges,
    // the cursor home.
    void ClearForColumnMode();
    // Everything painted again.
    void ScreenRepaint();

    // Inserting and deleting at the cursor, within the margins: the cells
    // or lines beyond move along, those that come in are erased (but see
    // ScreenRules::vacatedCellsErased).
    void InsertChars(int count);
    void DeleteChars(int count);
    void InsertLines(int count);
    void DeleteLines(int count);
    // The plain terminal's: `count` lines from the cursor's row go, the rows
    // below up to the screen's bottom move up, blank rows come in there. A
    // count that reaches past the screen moves nothing.
    void DeleteLinesIgnoringRegion(int count);
    // SU and SD: the region's content moves up or down.
    void ScrollRegionUp(int count);
    void ScrollRegionDown(int count);

    // The scrolling region's first and last row, and the left and right
    // margins, each cut to the screen; the cursor stays.
    void SetRegion(int top, int bottom);
    void SetSideMargins(int left, int right);
    // DECALN: E over the screen, margins reset, the cursor home.
    void FillScreenWithE();
    // The plain terminal's: every buffer row, history and spare row
    // included, E in the default rendition, and the pen reset.
    void FillBufferWithE();
    // DECDWL, DECDHL and DECSWL: the cursor's row takes the size, and a
    // cursor past the half that a double row shows comes back to its last
    // column; nothing while the side margins are on, as in xterm.
    void SetLineSize(LineSize size);

    // Margins, origin, insert and margin modes as at start, and auto-wrap
    // on.
    void ResetEditing();
    void SetAutoWrap(bool on);
    void SetOriginMode(bool on);
    bool OriginMode() const { return originMode_; }
    void SetInsertMode(bool on) { insertMode_ = on; }
    void SetSideMarginMode(bool on);
    bool SideMarginMode() const { return sideMarginMode_; }

    // Who is told of rows scrolled off the top; none (null) by default.
    void SetScrollOffObserver(ScrollOffObserver* observer) { scrollOff_ = observer; }

    // The dialect's rules; a switch drops a wrap that waits.
    void SetRules(const ScreenRules& rules) {
        rules_ = rules;
        wrapPending_ = false;
    }

    // The alternate screen: the screen rows are exchanged with a second set,
    // which has no history; while it shows, nothing scrolls into the history.
    // Each keeps its cells while the other shows.
    void SetAlternateScreen(bool on) { grid_.SetAlternateScreen(on); }
    bool AlternateScreen() const { return grid_.AlternateScreen(); }

    // Read access for painting, copy, print, the tools and tests: the
    // grid's (ScreenGrid says what each means).
    const ScreenGeometry& Geometry() const { return grid_.Geometry(); }
    int BufferRows() const { return grid_.BufferRows(); }
    int FirstScreenRow() const { return grid_.FirstScreenRow(); }
    int HistoryDepth() const { return grid_.HistoryDepth(); }
    std::span<const Cell> Row(int bufferRow) const { return grid_.Row(bufferRow); }
    // A character of the row's columns; a space past the cells it shows.
    char32_t CharAt(int bufferRow, int column) const {
        const std::span<const Cell> cells = Row(bufferRow);
        return static_cast<std::size_t>(column) < cells.size() ? cells[column].Character() : U' ';
    }
    bool RowContinues(int bufferRow) const { return grid_.RowContinues(bufferRow); }
    LineSize RowLineSize(int bufferRow) const { return grid_.RowLineSize(bufferRow); }
    std::int64_t LinesScrolled() const { return grid_.LinesScrolled(); }
    const ScreenDamage& Damage() const { return grid_.Damage(); }
    void ClearDamage() { grid_.ClearDamage(); }
    int CursorRow() const { return cursorRow_; }
    int CursorColumn() const { return cursorColumn_; }
    // The scrolling region's first and last rows.
    int RegionTop() const { return regionTop_; }
    int RegionBottom() const { return regionBottom_; }
    std::uint8_t CurrentAttribute() const { return AttributeCode(pen_); }

    std::u32string_view Marks(const Cell& cell) const { return grid_.Marks(cell); }
    std::string_view LinkTarget(const Cell& cell) const { return grid_.LinkTarget(cell); }

  private:
    int Columns() const { return grid_.Columns(); }
    Cell* CursorCell() { return grid_.RowCells(FirstScreenRow() + cursorRow_) + cursorColumn_; }
    template <class CharacterAt>
    void WriteRun(int count, CharacterAt characterAt);
    void BlankScreenRow(int row);
    // The region's rows move up (down) by `count` whole rows, blank rows
    // coming in, cell by cell all zero; a region at the top of the normal
    // screen moves its rows into the history.
    void ScrollUpBlank(int count);
    void ScrollDownBlank(int count);
    // The cursor's place; a wrap waits if asked to and the cursor is at the
    // line's end.
    void SetCursor(int row, int column, bool wrapPending);
    // The plain terminal's tab: to the next multiple of eight columns, the
    // last column at most.
    void FixedTab();
    void WrapToNextRow();
    void TakeWaitingWrap();

    // Unicode, for the extended terminal (screen_unicode.cpp).
    // Call before columns first to end - 1 of screen row `row` change: a
    // wide character with one half inside them and the other outside is
    // blanked, both halves. Overwriting and erasing pass the columns they
    // change; inserting n cells at column c passes (c, columns - n), and
    // deleting n cells there passes (c, c + n), before the cells move.
    // Inline and cheap, as every run of text calls it: one test until the
    // screen has seen a wide character.
    void RepairWide(int row, int first, int end) {
        if (!grid_.WideCharacters()) [[likely]]
            return;
        const Cell* cells = grid_.RowCells(FirstScreenRow() + row);
        if ((first < Columns() && cells[first].Has(cell_flags::kWideRight)) ||
            (end < Columns() && cells[end].Has(cell_flags::kWideRight))) {
            BlankBrokenWide(row, first, end);
        }
    }
    void PlaceWide(char32_t c);
    void JoinMark(char32_t mark);
    void BlankBrokenWide(int row, int first, int end);
    void BlankCellsAt(int row, int first, int end);
    // The pen's link, as its flags hold it.
    std::uint16_t penLink_ = 0;

    const TerminalOptions& options_;
    ScrollOffObserver* scrollOff_ = nullptr;
    ScreenGrid grid_;
    int cursorRow_ = 0;
    int cursorColumn_ = 0;
    int regionTop_ = 0;
    int regionBottom_;
    // The rendition placed characters take: a blank cell with its colours and flags.
    Cell pen_;
    ScreenRules rules_;
    // A character went into the last column with wrap on; any cursor move
    // cancels the wrap.
    bool wrapPending_ = false;

    static constexpr int kTabWidth = 8;
    // The value within low and high; high when they cross.
    static int Clamp(int value, int low, int high) { return std::min(std::max(value, low), high); }
    // The cell erasing leaves: blank, in the pen's background.
    Cell Erased() const;
    // Erases columns first to end - 1 of a screen row: FillCells blanks a
    // wide character cut at either end first, EraseCells does not.
    void FillCells(int row, int first, int end);
    void EraseCells(int row, int first, int end);
    void ShiftRows(int top, int bottom, int count);
    void EraseRowWhole(int row);
    void ShiftCells(int first, int end, int count);
    void FullMargins();
    void FullSideMargins();
    bool FullWidth() const;
    bool InsideSideMargins() const;
    bool InsideRegion() const;
    int LeftEdge() const;
    int RightEdge() const;
    // Where text wraps: the right margin for a cursor left of it, else the
    // screen's last column (one past it).
    int LineEnd() const {
        const int end =
            sideMarginMode_ && cursorColumn_ <= rightMargin_ ? rightMargin_ + 1 : Columns();
        return std::min(end, RowColumns(cursorRow_));
    }
    // The columns a screen row holds: half of them in a row of double
    // size. One test until the screen has had such a row.
    int RowColumns(int row) const {
        if (!grid_.DoubleRows()) [[likely]]
            return Columns();
        return static_cast<int>(Row(FirstScreenRow() + row).size());
    }
    // Whether text reaching the line's end continues on the next row.
    bool WrapOn() const { return rules_.hostAutoWrap ? autoWrap_ : options_.Wrap(); }
    static std::vector<bool> DefaultTabStops(int columns);
    void ResizeEditing();
    // The editing's modes, margins and tab stops.
    bool autoWrap_ = true;
    bool originMode_ = false;
    bool insertMode_ = false;
    bool sideMarginMode_ = false;
    int leftMargin_ = 0;
    int rightMargin_ = Columns() - 1;
    std::vector<bool> tabStops_ = DefaultTabStops(Columns());
    char32_t lastCharacter_ = 0;
};

}  // namespace quill
