#pragma once

#include <string>

#include "core/terminal/screen_model.h"

namespace quill {

// A cell of the window: its row (0 the window's first) and column.
struct WindowCell {
    int row = 0;
    int column = 0;
};

// The marked cells: columns left to right - 1 of window rows top to
// bottom - 1. It is never normalised: left and top come from the press,
// right and bottom from the latest drag, so right < left or bottom < top
// can happen, and then no cell is marked.
struct SelectionRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool Empty() const { return left == right || top == bottom; }
    bool MarksCells() const { return right > left && bottom > top; }
    bool operator==(const SelectionRect&) const = default;
};

// The rectangle of cells the user marks with the left mouse button, from the
// cell pressed to the cell the pointer is dragged to, both included. The
// window gives cells, the pointer's already held within the cells it shows.
class Selection {
  public:
    void SelectionPress(WindowCell at);
    // Extends the rectangle only while the button is down.
    void SelectionDrag(WindowCell at);
    void SelectionRelease() { selecting_ = false; }
    void Clear() { rect_ = {}; }

    const SelectionRect& Rect() const { return rect_; }
    bool Selecting() const { return selecting_; }

    // The marked cells of the rows on display (window row r shows buffer row
    // viewTop + r) as UTF-8, each row followed by CR LF: every character
    // once with its combining marks, a wide one from its left half. Kept
    // within the screen's columns and the window rows (the screen rows and
    // the spare row below them).
    std::string CopyText(const ScreenModel& screen, int viewTop) const;

  private:
    SelectionRect rect_;
    bool selecting_ = false;
};

}  // namespace quill
