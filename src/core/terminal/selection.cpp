#include "core/terminal/selection.h"

#include <algorithm>

namespace quill {

namespace {

// A rectangle snapped at the last pixel row of a full window reaches one row
// below the 24 screen rows; buffer row 275 + 24 is the spare row.
constexpr int kSelectableRows = kScreenRows + 1;

}  // namespace

void Selection::SelectionPress(int x, int y) {
    selecting_ = true;
    rect_.left = SnapToCell(x, cellWidth_);
    rect_.top = SnapToCell(y, cellHeight_);
    rect_.right = rect_.left;
    rect_.bottom = rect_.top;
}

void Selection::SelectionDrag(int x, int y) {
    if (!selecting_) return;
    rect_.right = SnapToCell(x, cellWidth_);
    rect_.bottom = SnapToCell(y, cellHeight_) + cellHeight_;
}

std::string Selection::CopyText(const ScreenModel& screen, int viewTop) const {
    std::string text;
    if (rect_.Empty()) return text;
    const int firstRow = std::min(rect_.top / cellHeight_, kSelectableRows);
    const int endRow = std::min(rect_.bottom / cellHeight_, kSelectableRows);
    const int firstColumn = std::min(rect_.left / cellWidth_, kColumns);
    const int endColumn = std::min(rect_.right / cellWidth_, kColumns);
    const int lastBufferRow = screen.BufferRows() - 1;
    for (int r = firstRow; r < endRow; ++r) {
        const int bufferRow = std::min(viewTop + r, lastBufferRow);
        for (int c = firstColumn; c < endColumn; ++c) {
            text.push_back(static_cast<char>(screen.CharAt(bufferRow, c)));
        }
        text += "\r\n";
    }
    return text;
}

}  // namespace quill
