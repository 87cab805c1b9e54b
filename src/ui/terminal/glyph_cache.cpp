#include "ui/terminal/glyph_cache.h"

#include <QGlyphRun>
#include <QList>
#include <QString>
#include <QTextLayout>

namespace quill {

GlyphCache::GlyphCache(const TerminalFonts& fonts) : cellWidth_(fonts.CellWidth) {
    fonts_[kRegular] = fonts.fonts[TerminalFonts::kNormal];
    fonts_[kBold] = fonts.fonts[TerminalFonts::kBold];
    fonts_[kItalic] = fonts.fonts[TerminalFonts::kItalic];
    fonts_[kBoldItalic] = fonts.fonts[TerminalFonts::kItalic];
    fonts_[kBoldItalic].setWeight(QFont::Bold);
    for (const QFont& font : fonts_) raw_.push_back(QRawFont::fromFont(font));
    for (auto& table : direct_) table.resize(kDirect);
}

// The variant's own font first; else the font Qt's fallback chooses for
// the character, found by laying the character out once.
GlyphCache::Glyph GlyphCache::Miss(Variant v, char32_t c, int cells) {
    ++misses_;
    const QString text = QString::fromUcs4(&c, 1);
    const QList<quint32> own = raw_[v].glyphIndexesForString(text);
    if (own.size() == 1 && own.front() != 0) return {own.front(), v, true};

    QTextLayout layout(text, fonts_[v]);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    if (runs.isEmpty() || runs.front().glyphIndexes().isEmpty()) return {0, v, true};
    QRawFont font = runs.front().rawFont();
    const quint32 index = runs.front().glyphIndexes().front();
    const qreal advance = font.advancesForGlyphIndexes(QList<quint32>{index}).front().x();
    const qreal room = cellWidth_ * cells;
    if (advance > room) font.setPixelSize(font.pixelSize() * room / advance);
    return {index, FontIndex(font), true};
}

std::uint16_t GlyphCache::FontIndex(const QRawFont& font) {
    for (std::size_t i = kVariants; i < raw_.size(); ++i) {
        const QRawFont& known = raw_[i];
        if (known.familyName() == font.familyName() && known.styleName() == font.styleName() &&
            known.pixelSize() == font.pixelSize())
            return static_cast<std::uint16_t>(i);
    }
    raw_.push_back(font);
    return static_cast<std::uint16_t>(raw_.size() - 1);
}

}  // namespace quill
