#pragma once

#include <QFont>
#include <array>
#include <string_view>

namespace quill {

// The five terminal fonts and the character cell measured from the first.
struct TerminalFonts {
    enum Index { kNormal = 0, kBold = 1, kUnderlined = 2, kItalic = 3, kItalicUnderlined = 4 };

    std::array<QFont, 5> fonts;
    int CellWidth = 0;
    int CellHeight = 0;
    int ascent = 0;  // baseline offset of a text row within its cell
};

// Makes the fonts from the `font` face and the `fontsize` height: a positive
// height is the cell height, a negative one the character height, 0 a
// default. Only the normal font asks for fixed pitch; its glyphs are spaced
// exactly one cell apart, so a row drawn as one run stays on the cell grid.
TerminalFonts MakeTerminalFonts(std::string_view face, int fontsize);

}  // namespace quill
