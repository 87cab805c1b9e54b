#include "core/terminal/selection.h"

#include <algorithm>

#include "core/terminal/utf8_codec.h"

namespace quill {

namespace {

// A cell as text: its character and its marks; nothing for the right half
// of a wide character, whose left half holds it.
void AppendCell(std::string& text, const ScreenModel& screen, const Cell& cell) {
    if (cell.Has(cell_flags::kWideRight)) return;
    AppendUtf8(text, cell.Character());
    for (const char32_t mark : screen.Marks(cell)) AppendUtf8(text, mark);
}

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
    // A rectangle snapped at the last pixel row of a full window reaches one
    // row below the screen rows, onto the spare row.
    const int selectableRows = screen.Geometry().screenRows + 1;
    const int columns = screen.Geometry().columns;
    const int firstRow = std::min(rect_.top / cellHeight_, selectableRows);
    const int endRow = std::min(rect_.bottom / cellHeight_, selectableRows);
    const int firstColumn = std::min(rect_.left / cellWidth_, columns);
    const int endColumn = std::min(rect_.right / cellWidth_, columns);
    const int lastBufferRow = screen.BufferRows() - 1;
    for (int r = firstRow; r < endRow; ++r) {
        const std::span<const Cell> row = screen.Row(std::min(viewTop + r, lastBufferRow));
        for (int c = firstColumn; c < endColumn; ++c) AppendCell(text, screen, row[c]);
        text += "\r\n";
    }
    return text;
}

}  // namespace quill
