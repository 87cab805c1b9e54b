#include "core/terminal/grid_character.h"

#include <utf8proc.h>

namespace quill {

// One look-up of the character's properties gives both its category and its width.
GridWidth GridWidthOf(char32_t character) {
    const utf8proc_property_t* property =
        utf8proc_get_property(static_cast<utf8proc_int32_t>(character));
    if (property->category == UTF8PROC_CATEGORY_CC) return GridWidth::kNone;
    switch (property->charwidth) {
        case 0:
            return GridWidth::kMark;
        case 2:
            return GridWidth::kWide;
        default:
            return GridWidth::kNarrow;
    }
}

}  // namespace quill
