#pragma once

#include <string>

#include "core/terminal/screen_model.h"

namespace quill {

// A rectangle in client pixels whose edges lie on cell boundaries. It is never
// normalised: left and top come from the press, right and bottom from the
// latest move, so right < left or bottom < top can happen.
struct SelectionRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool Empty() const { return left == right || top == bottom; }
    bool operator==(const SelectionRect&) const = default;
};

// Moves a pixel coordinate to a cell edge: the last pixel of a cell goes to
// its far edge, every other pixel to its near edge.
constexpr int SnapToCell(int p, int s) {
    return ((p + 1) / s) * s;
}

// The rectangle of cells the user marks with the left mouse button.
class Selection {
  public:
    Selection(int cellWidth, int cellHeight) : cellWidth_(cellWidth), cellHeight_(cellHeight) {}

    void SelectionPress(int x, int y);
    // Extends the rectangle only while the button is down; the row under the
    // pointer is always included.
    void SelectionDrag(int x, int y);
    void SelectionRelease() { selecting_ = false; }
    void Clear() { rect_ = {}; }

    const SelectionRect& Rect() const { return rect_; }
    bool Selecting() const { return selecting_; }

    // The marked cells of the rows on display (window row r shows buffer row
    // viewTop + r) as UTF-8, each row followed by CR LF: every character
    // once with its combining marks, a wide one from its left half. Kept
    // within the screen's columns and the window rows a rectangle can reach
    // (the screen rows and the one below).
    std::string CopyText(const ScreenModel& screen, int viewTop) const;

  private:
    int cellWidth_;
    int cellHeight_;
    SelectionRect rect_;
    bool selecting_ = false;
};

}  // namespace quill
