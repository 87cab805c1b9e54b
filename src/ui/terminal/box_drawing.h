#pragma once

#include <QColor>
#include <QRect>

class QPainter;

namespace quill {

// Box-drawing characters (U+2500 to U+257F) and block elements (U+2580 to
// U+259F) drawn as lines and blocks that fill their cell to its edges, so
// that frames join from cell to cell whatever the font (the medium shade a
// pattern of every other pixel), and the diamond (U+25C6) across its cell.
// False, drawing
// nothing, for any other character, and for the dashed and diagonal lines,
// which the font draws.
bool DrawBoxCharacter(QPainter& painter, char32_t c, const QRect& cell, const QColor& colour);

}  // namespace quill
