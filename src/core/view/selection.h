#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/interfaces/screen_view.h"

namespace quill {

// A cell of the text: its line (ScreenView::LinesScrolled() plus its buffer
// row, which stays with the text while rows scroll into the history) and
// its column.
struct TextPoint {
    std::int64_t line = 0;
    int column = 0;
    auto operator<=>(const TextPoint&) const = default;
};

// A stream runs in reading order from its first cell to its last, whole
// rows between; a rectangle takes the same columns of every row.
enum class SelectionShape { kStream, kRectangle };

// What a press takes at once and a drag grows by: cells (a click alone marks
// nothing), words (a double click) or lines (a triple click; a line the
// host wrapped at the margin is one line).
enum class SelectionUnit { kCell, kWord, kLine };

// Marked columns first to end - 1 of one line; empty when first >= end.
struct MarkedColumns {
    int first = 0;
    int end = 0;
    bool Empty() const { return first >= end; }
};

// The cells the user marks with the left mouse button, held in lines of
// the text, so that the marks scroll with their rows into the history and
// back. Words are runs of letters, digits and the characters of
// kWordPunctuation, so that a URL or a path is one word (any character
// beyond ASCII counts as a letter); a run of one other character is a word
// too, and so is a run of blanks.
class Selection {
  public:
    static constexpr std::string_view kWordPunctuation = "-._~/?&=%+#:@";

    // The button goes down on a cell: a word or a line is marked at once.
    void SelectionPress(const ScreenView& screen, TextPoint at, SelectionShape shape,
                        SelectionUnit unit);
    // Shift+click: the end nearer to the cell moves to it, in the unit the
    // selection was made in, and a drag goes on from there.
    void SelectionExtend(const ScreenView& screen, TextPoint at);
    // Moves the end the pointer holds, only while the button is down.
    void SelectionDrag(const ScreenView& screen, TextPoint at);
    void SelectionRelease() { selecting_ = false; }
    void Clear() { marked_ = false; }

    bool Selecting() const { return selecting_; }
    bool MarksCells() const { return marked_; }
    std::int64_t FirstLine() const { return Begin().line; }
    std::int64_t LastLine() const { return End().line; }
    // The marked columns of a line of a screen `columns` wide.
    MarkedColumns ColumnsOn(std::int64_t line, int columns) const;

    // Forgets the marks when a cell they cover changed, the screen was
    // erased under them, or their rows left the history; reads the damage
    // the screen has gathered since the window last took it.
    void ForgetChanged(const ScreenView& screen);

    // The marked text as UTF-8, every character once with its combining
    // marks, rows without trailing blanks. A stream's rows end in
    // `lineEnd`, except a row the next one continues (the host wrapped it)
    // and the last row; lines taken whole end in it, the last one too. A
    // rectangle's rows all end in it.
    std::string CopyText(const ScreenView& screen, std::string_view lineEnd) const;

  private:
    // The first and last cell of the unit around a cell.
    struct Span {
        TextPoint first;
        TextPoint last;
    };
    Span UnitAround(const ScreenView& screen, TextPoint at) const;
    TextPoint Begin() const;
    TextPoint End() const;

    Span anchor_;  // where the press was, in its unit
    Span head_;    // where the pointer went
    SelectionShape shape_ = SelectionShape::kStream;
    SelectionUnit unit_ = SelectionUnit::kCell;
    bool selecting_ = false;
    bool marked_ = false;
};

}  // namespace quill
