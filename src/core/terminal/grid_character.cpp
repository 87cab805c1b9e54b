#include "core/terminal/grid_character.h"

#include <utf8proc.h>

namespace quill {

GridWidth GridWidthOf(char32_t character) {
    const auto value = static_cast<utf8proc_int32_t>(character);
    if (utf8proc_category(value) == UTF8PROC_CATEGORY_CC) return GridWidth::kNone;
    switch (utf8proc_charwidth(value)) {
        case 0:
            return GridWidth::kMark;
        case 2:
            return GridWidth::kWide;
        default:
            return GridWidth::kNarrow;
    }
}

}  // namespace quill
