#include "core/terminal/grid_character.h"

#include <utf8proc.h>

namespace quill {

namespace {

constexpr char32_t kSoftHyphen = 0xAD;

}  // namespace

GridCells CellsFor(char32_t character) {
    if (character == kSoftHyphen) return {'-', 1};
    if (character >= 0xA0 && character <= 0xFF) return {static_cast<std::uint8_t>(character), 1};
    const bool wide = utf8proc_charwidth(static_cast<utf8proc_int32_t>(character)) == 2;
    return {'?', wide ? 2 : 1};
}

}  // namespace quill
