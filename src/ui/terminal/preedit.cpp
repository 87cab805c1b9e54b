#include "ui/terminal/preedit.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPointF>
#include <algorithm>

namespace quill {

namespace {

const QFont& PreeditFont(const TerminalFonts& fonts) {
    return fonts.fonts[TerminalFonts::kUnderlined];
}

}  // namespace

QRect PreeditArea(const QString& preedit, const QRect& cell, const TerminalFonts& fonts) {
    // Characters from fallback fonts (Chinese, Japanese, Korean) are wider
    // than the terminal's cells: the text takes the room it needs.
    const int width = QFontMetrics(PreeditFont(fonts)).horizontalAdvance(preedit);
    return {cell.topLeft(), QSize(std::max(width, cell.width()), cell.height())};
}

void PaintPreedit(QPainter& painter, const QString& preedit, const QRect& cell,
                  const TerminalFonts& fonts, const QColor& text, const QColor& background) {
    if (preedit.isEmpty()) return;
    painter.fillRect(PreeditArea(preedit, cell, fonts), background);
    painter.setPen(text);
    painter.setFont(PreeditFont(fonts));
    painter.drawText(QPointF(cell.left(), cell.top() + fonts.ascent), preedit);
}

}  // namespace quill
