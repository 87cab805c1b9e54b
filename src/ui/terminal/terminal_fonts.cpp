#include "ui/terminal/terminal_fonts.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QString>

namespace quill {

namespace {

constexpr int kDefaultPixelHeight = 16;

QFont BaseFont(std::string_view face) {
    QFont font(QString::fromUtf8(face.data(), static_cast<qsizetype>(face.size())));
    font.setStyleHint(QFont::TypeWriter);
    font.setKerning(false);
    return font;
}

// The largest pixel size whose line height does not exceed the requested
// cell height, as the platform does for a positive requested height.
void SetCellHeight(QFont& font, int height) {
    for (int pixels = height; pixels > 1; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetrics(font).height() <= height) return;
    }
    font.setPixelSize(1);
}

void SetRequestedHeight(QFont& font, int fontsize) {
    if (fontsize > 0) {
        SetCellHeight(font, fontsize);
    } else if (fontsize < 0) {
        font.setPixelSize(-fontsize);
    } else {
        font.setPixelSize(kDefaultPixelHeight);
    }
}

}  // namespace

TerminalFonts MakeTerminalFonts(std::string_view face, int fontsize) {
    TerminalFonts t;
    QFont base = BaseFont(face);
    SetRequestedHeight(base, fontsize);

    QFont& normal = t.fonts[TerminalFonts::kNormal];
    normal = base;
    normal.setFixedPitch(true);
    const QFontMetrics metrics(normal);
    t.CellWidth = metrics.horizontalAdvance(QLatin1Char('W'));
    t.CellHeight = metrics.height();
    t.ascent = metrics.ascent();
    // Pad each glyph to the whole-pixel cell width.
    const qreal advance = QFontMetricsF(normal).horizontalAdvance(QLatin1Char('W'));
    normal.setLetterSpacing(QFont::AbsoluteSpacing, t.CellWidth - advance);

    t.fonts[TerminalFonts::kBold] = base;
    t.fonts[TerminalFonts::kBold].setWeight(QFont::Bold);
    t.fonts[TerminalFonts::kUnderlined] = base;
    t.fonts[TerminalFonts::kUnderlined].setUnderline(true);
    t.fonts[TerminalFonts::kItalic] = base;
    t.fonts[TerminalFonts::kItalic].setItalic(true);
    t.fonts[TerminalFonts::kItalicUnderlined] = t.fonts[TerminalFonts::kItalic];
    t.fonts[TerminalFonts::kItalicUnderlined].setUnderline(true);
    return t;
}

}  // namespace quill
