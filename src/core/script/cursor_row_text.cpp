#include "core/script/cursor_row_text.h"

namespace quill {

std::u32string CursorRowText(const ScreenView& screen) {
    std::u32string text;
    const int row = screen.FirstScreenRow() + screen.CursorRow();
    for (int column = 0; column < screen.CursorColumn(); ++column) {
        text.push_back(screen.CharAt(row, column));
    }
    return text;
}

}  // namespace quill
