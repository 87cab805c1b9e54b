#pragma once

#include <QColor>
#include <QRect>
#include <QString>

#include "ui/terminal/terminal_fonts.h"

class QPainter;

namespace quill {

// The text an input method is still composing is drawn at the cursor,
// underlined and opaque over the cells there; it is never sent.

// The pixels the text covers when it starts at the cell `cell`: at least that cell.
QRect PreeditArea(const QString& preedit, const QRect& cell, const TerminalFonts& fonts);

void PaintPreedit(QPainter& painter, const QString& preedit, const QRect& cell,
                  const TerminalFonts& fonts, const QColor& text, const QColor& background);

}  // namespace quill
