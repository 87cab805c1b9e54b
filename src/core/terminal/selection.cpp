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

void Selection::SelectionPress(WindowCell at) {
    selecting_ = true;
    rect_ = {at.column, at.row, at.column, at.row};
}

void Selection::SelectionDrag(WindowCell at) {
    if (!selecting_) return;
    rect_.right = at.column + 1;
    rect_.bottom = at.row + 1;
}

std::string Selection::CopyText(const ScreenModel& screen, int viewTop) const {
    std::string text;
    if (rect_.Empty()) return text;
    // The window shows the screen rows and the spare row below them.
    const int selectableRows = screen.Geometry().screenRows + 1;
    const int columns = screen.Geometry().columns;
    const int firstRow = std::min(rect_.top, selectableRows);
    const int endRow = std::min(rect_.bottom, selectableRows);
    const int firstColumn = std::min(rect_.left, columns);
    const int endColumn = std::min(rect_.right, columns);
    const int lastBufferRow = screen.BufferRows() - 1;
    for (int r = firstRow; r < endRow; ++r) {
        const std::span<const Cell> row = screen.Row(std::min(viewTop + r, lastBufferRow));
        for (int c = firstColumn; c < endColumn; ++c) AppendCell(text, screen, row[c]);
        text += "\r\n";
    }
    return text;
}

}  // namespace quill
