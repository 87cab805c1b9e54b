#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "core/interfaces/cell.h"
#include "core/interfaces/cursor_style.h"
#include "core/interfaces/dialect_id.h"
#include "core/interfaces/line_size.h"
#include "core/interfaces/palette.h"
#include "core/interfaces/screen_damage.h"
#include "core/interfaces/screen_geometry.h"

namespace quill {

// The terminal's screen as its readers see it (the window, print, copy, the
// search, session scripts): the rows of cells in buffer rows (the history
// rows first, oldest at 0, then the screen rows and the spare row below
// them), the cursor, what changed since the window last painted, and the
// look the host chose for the whole of it. Nothing here changes the screen.
// The calls are virtual: read a row at a time, never a cell at a time.
class ScreenView {
  public:
    virtual const ScreenGeometry& Geometry() const = 0;
    // The history's rows, the screen's and the spare row.
    virtual int BufferRows() const = 0;
    virtual int FirstScreenRow() const = 0;
    // The history rows in use, the newest ones just above the screen.
    virtual int HistoryDepth() const = 0;
    // Rows scrolled up into the history so far: with a buffer row, a line of
    // the text that stays with it while the rows scroll.
    virtual std::int64_t LinesScrolled() const = 0;
    // The cells a row shows: all of its columns, or the first half of them
    // in a row of double size.
    virtual std::span<const Cell> Row(int bufferRow) const = 0;
    virtual LineSize RowLineSize(int bufferRow) const = 0;
    // Whether the host's text wrapped into the row from the one above.
    virtual bool RowContinues(int bufferRow) const = 0;
    // A character of the row's columns; a space past the cells it shows.
    char32_t CharAt(int bufferRow, int column) const {
        const std::span<const Cell> cells = Row(bufferRow);
        return static_cast<std::size_t>(column) < cells.size() ? cells[column].Character() : U' ';
    }
    // The combining marks that follow a cell's character; empty for none,
    // without a call for a cell that has none.
    std::u32string_view Marks(const Cell& cell) const {
        return cell.marks == 0 ? std::u32string_view() : MarksOf(cell);
    }
    // The target of the link a cell is part of; empty for none.
    virtual std::string_view LinkTarget(const Cell& cell) const = 0;
    // The cursor's screen row and column (0-based).
    virtual int CursorRow() const = 0;
    virtual int CursorColumn() const = 0;
    // What changed since the window last took it.
    virtual const ScreenDamage& Damage() const = 0;

    // The look: the terminal in force, the reverse screen (?5), the colours
    // palette indices name as the host has set them, and the cursor as the
    // host shows it (?25) and shapes it (DECSCUSR).
    virtual DialectId InForce() const = 0;
    virtual bool ReverseScreen() const = 0;
    virtual const Palette& Colours() const = 0;
    virtual bool CursorVisible() const = 0;
    virtual CursorStyle Cursor() const = 0;

  protected:
    ~ScreenView() = default;
    // The marks of a cell that has some.
    virtual std::u32string_view MarksOf(const Cell& cell) const = 0;
};

}  // namespace quill
