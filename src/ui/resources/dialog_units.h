#pragma once

#include <QRect>

#include "ui/resources/dialog_template.h"

class QFont;

namespace quill {

// Horizontal and vertical base units of a dialog font, in pixels: the average
// width of the letters A-Z a-z and the character cell height.
struct DialogBaseUnits {
    int cx = 0;
    int cy = 0;
};

DialogBaseUnits BaseUnitsOf(const QFont& font);

// a * b / c rounded to the nearest integer, halves away from zero.
int MulDiv(int a, int b, int c);

// Dialog units to pixels: x and width in quarters of cx, y and height in
// eighths of cy.
QRect DialogToPixels(const DialogRect& rect, DialogBaseUnits units);

}  // namespace quill
