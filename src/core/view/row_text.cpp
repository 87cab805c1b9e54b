#include "core/view/row_text.h"

#include "core/interfaces/screen_view.h"
#include "core/text/utf8_codec.h"

namespace quill {

std::string CellText(std::span<const Cell> cells, const ScreenView* marksFrom) {
    std::string text;
    for (const Cell& cell : cells) {
        if (cell.Has(cell_flags::kWideRight)) continue;
        AppendUtf8(text, cell.Character());
        if (marksFrom == nullptr) continue;
        for (const char32_t mark : marksFrom->Marks(cell)) AppendUtf8(text, mark);
    }
    return text;
}

std::span<const Cell> WithoutTrailingBlanks(std::span<const Cell> cells) {
    std::size_t length = cells.size();
    while (length > 0 && cells[length - 1].Character() == U' ') --length;
    return cells.first(length);
}

}  // namespace quill
