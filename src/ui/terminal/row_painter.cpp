#include "ui/terminal/row_painter.h"

#include <QGlyphRun>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cmath>
#include <string>

#include "ui/terminal/box_drawing.h"

namespace quill {

namespace {

void DrawGlyphs(QPainter& painter, const QRawFont& font, QRgb colour, const quint32* glyphs,
                const QPointF* positions, int count) {
    QGlyphRun run;
    run.setRawFont(font);
    run.setRawData(glyphs, positions, count);
    painter.setPen(QColor::fromRgb(colour));
    painter.drawGlyphRun(QPointF(0, 0), run);
}

QRgb ToQRgb(Rgb rgb) {
    return qRgb(rgb.red, rgb.green, rgb.blue);
}

QRgb Resolve(CellColour colour, const Palette& palette, QRgb byDefault) {
    switch (colour.kind()) {
        case CellColour::Kind::kPalette:
            return ToQRgb(palette.Colour(static_cast<std::uint8_t>(colour.value())));
        case CellColour::Kind::kRgb:
            return 0xFF000000U | colour.value();
        case CellColour::Kind::kDefault:
            break;
    }
    return byDefault;
}

// Halfway between the text colour and the background.
QRgb Faint(QRgb text, QRgb background) {
    return qRgb((qRed(text) + qRed(background)) / 2, (qGreen(text) + qGreen(background)) / 2,
                (qBlue(text) + qBlue(background)) / 2);
}

// Bold text in one of the first eight palette colours takes its bright twin.
CellColour BoldBright(const Cell& cell, const CellLook& look) {
    const CellColour colour = cell.foreground;
    if (!look.boldBright || !cell.Has(cell_flags::kBold) ||
        colour.kind() != CellColour::Kind::kPalette || colour.value() >= 8)
        return colour;
    return CellColour::Palette(static_cast<std::uint8_t>(colour.value() + 8));
}

}  // namespace

RowPainter::CellColours RowPainter::ColoursOf(const Cell& cell, const CellLook& look) {
    QRgb text = look.text.rgb();
    QRgb background = look.background.rgb();
    if (look.reverseScreen) std::swap(text, background);
    RowPainter::CellColours colours{Resolve(BoldBright(cell, look), look.palette, text),
                                    Resolve(cell.background, look.palette, background)};
    if (cell.Has(cell_flags::kReverse)) std::swap(colours.text, colours.background);
    if (cell.Has(cell_flags::kFaint)) colours.text = Faint(colours.text, colours.background);
    return colours;
}

namespace {

GlyphCache::Variant VariantOf(const Cell& cell) {
    const bool bold = cell.Has(cell_flags::kBold);
    const bool italic = cell.Has(cell_flags::kItalic);
    if (italic) return bold ? GlyphCache::kBoldItalic : GlyphCache::kItalic;
    return bold ? GlyphCache::kBold : GlyphCache::kRegular;
}

}  // namespace

void GlyphRuns::Add(const GlyphCache::Glyph& glyph, QRgb colour, QPointF at, const QRect& cells) {
    if (GlyphCache::Substitute(glyph.font)) {
        clipped_.push_back({glyph, colour, at, cells});
        return;
    }
    auto run =
        std::find_if(runs_.begin(), runs_.begin() + static_cast<std::ptrdiff_t>(used_),
                     [&](const Run& r) { return r.font == glyph.font && r.colour == colour; });
    if (run == runs_.begin() + static_cast<std::ptrdiff_t>(used_)) {
        if (used_ == runs_.size()) runs_.emplace_back();
        run = runs_.begin() + static_cast<std::ptrdiff_t>(used_++);
        run->font = glyph.font;
        run->colour = colour;
    }
    run->glyphs.push_back(glyph.index);
    run->positions.push_back(at);
}

void GlyphRuns::Draw(QPainter& painter, const GlyphCache& cache) {
    for (std::size_t i = 0; i < used_; ++i) {
        Run& run = runs_[i];
        DrawGlyphs(painter, cache.Font(run.font), run.colour, run.glyphs.data(),
                   run.positions.data(), static_cast<int>(run.glyphs.size()));
        run.glyphs.clear();
        run.positions.clear();
    }
    used_ = 0;
    // Within the clip the painter already has (the area being painted, or
    // the half of a double-height row).
    for (const Clipped& c : clipped_) {
        painter.save();
        painter.setClipRect(c.cells, Qt::IntersectClip);
        DrawGlyphs(painter, cache.Font(c.glyph.font), c.colour, &c.glyph.index, &c.at, 1);
        painter.restore();
    }
    clipped_.clear();
}

RowPainter::RowPainter(const TerminalFonts& fonts)
    : glyphs_(fonts),
      cellWidth_(fonts.CellWidth),
      cellHeight_(fonts.CellHeight),
      ascent_(fonts.ascent),
      lineWidth_(std::max(1, static_cast<int>(std::lround(glyphs_.Font(0).lineThickness())))),
      underlineBelow_(
          std::max(1, static_cast<int>(std::lround(glyphs_.Font(0).underlinePosition())))),
      strikeAbove_(static_cast<int>(std::lround(glyphs_.Font(0).xHeight() / 2))) {}

QPointF RowPainter::Baseline(int row, int column) const {
    return {static_cast<qreal>(column * cellWidth_),
            static_cast<qreal>(row * cellHeight_ + ascent_)};
}

QRect RowPainter::Cells(int row, int column, int count) const {
    return {column * cellWidth_, row * cellHeight_, count * cellWidth_, cellHeight_};
}

// One glyph run per band of rows in the normal font; bold cells are filled
// and drawn again, one character each, over the normal glyph; reverse cells
// are the pixel inverse of that drawing, each run of them inverted at once.
void RowPainter::PaintPlain(QPainter& painter, const ScreenView& screen, int top, int first,
                            int end, int width, const QColor& text, const QColor& background) {
    PaintPlainRows(
        painter, [&](int i) { return screen.Row(top + i); }, first, end, width, text, background);
}

template <class RowAt>
void RowPainter::PaintPlainRows(QPainter& painter, RowAt rowAt, int first, int end, int width,
                                const QColor& text, const QColor& background) {
    painter.fillRect(0, first * cellHeight_, width, (end - first) * cellHeight_, background);
    for (int i = first; i < end; ++i) {
        const std::span<const Cell> row = rowAt(i);
        const int columns = static_cast<int>(row.size());
        for (int c = 0; c < columns; ++c) {
            const char32_t ch = row[static_cast<std::size_t>(c)].Character();
            if (ch != U' ')
                runs_.Add(glyphs_.Find(GlyphCache::kRegular, ch, 1), text.rgb(), Baseline(i, c),
                          Cells(i, c, 1));
        }
    }
    runs_.Draw(painter, glyphs_);

    for (int i = first; i < end; ++i) {
        const std::span<const Cell> row = rowAt(i);
        const int columns = static_cast<int>(row.size());
        for (int c = 0; c < columns; ++c) {
            const Cell& cell = row[static_cast<std::size_t>(c)];
            if (AttributeCode(cell) != kAttrBold) continue;
            painter.fillRect(Cells(i, c, 1), background);
            runs_.Add(glyphs_.Find(GlyphCache::kBold, cell.Character(), 1), text.rgb(),
                      Baseline(i, c), Cells(i, c, 1));
            runs_.Draw(painter, glyphs_);
        }
    }

    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    for (int i = first; i < end; ++i) {
        const std::span<const Cell> row = rowAt(i);
        const int columns = static_cast<int>(row.size());
        for (int c = 0; c < columns;) {
            if (AttributeCode(row[static_cast<std::size_t>(c)]) != kAttrReverse) {
                ++c;
                continue;
            }
            const int start = c;
            while (c < columns && AttributeCode(row[static_cast<std::size_t>(c)]) == kAttrReverse)
                ++c;
            painter.fillRect(Cells(i, start, c - start), Qt::white);
        }
    }
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

// The default background first, across the whole width; then each row's
// cells. The row below the screen holds nothing to show here.
void RowPainter::PaintExtended(QPainter& painter, const ScreenView& screen, int top, int first,
                               int end, int width, const CellLook& look) {
    const QColor background = look.reverseScreen ? look.text : look.background;
    painter.fillRect(0, first * cellHeight_, width, (end - first) * cellHeight_, background);
    const int spare = screen.BufferRows() - 1;
    for (int i = first; i < end && top + i < spare; ++i) {
        const LineSize size = screen.RowLineSize(top + i);
        if (size == LineSize::kSingle) {
            PaintCells(painter, screen, screen.Row(top + i), i, look);
        } else {
            PaintDoubleRow(painter, screen, top + i, i, width, look);
        }
    }
    runs_.Draw(painter, glyphs_);
}

// A row of double size is painted as any row, through a painter that
// stretches it to twice the width (and height: the upper half of the
// glyphs shows in the top row, the lower half in the bottom one), held
// within the row.
void RowPainter::PaintDoubleRow(QPainter& painter, const ScreenView& screen, int bufferRow,
                                int row, int width, const CellLook& look) {
    runs_.Draw(painter, glyphs_);
    const LineSize size = screen.RowLineSize(bufferRow);
    const qreal y = row * cellHeight_;
    painter.save();
    painter.setClipRect(0, row * cellHeight_, width, cellHeight_, Qt::IntersectClip);
    painter.translate(0, size == LineSize::kDoubleBottom ? y - cellHeight_ : y);
    painter.scale(2, size == LineSize::kDoubleWidth ? 1 : 2);
    painter.translate(0, -y);
    PaintCells(painter, screen, screen.Row(bufferRow), row, look);
    runs_.Draw(painter, glyphs_);
    painter.restore();
}

// Backgrounds that differ from the default, in runs; then each cell's
// glyph (none for a blank, hidden or right-half cell, nor for blinking text
// while its blink hides it), line or block, and its underline and strike.
void RowPainter::PaintCells(QPainter& painter, const ScreenView& screen,
                            std::span<const Cell> cells, int row, const CellLook& look) {
    const QRgb defaultBackground = (look.reverseScreen ? look.text : look.background).rgb();
    const int columns = static_cast<int>(cells.size());
    colours_.resize(cells.size());
    for (std::size_t c = 0; c < cells.size(); ++c) colours_[c] = ColoursOf(cells[c], look);
    for (int c = 0; c < columns;) {
        const QRgb background = colours_[static_cast<std::size_t>(c)].background;
        const int start = c;
        while (++c < columns && colours_[static_cast<std::size_t>(c)].background == background) {
        }
        if (background != defaultBackground)
            painter.fillRect(Cells(row, start, c - start), QColor::fromRgb(background));
    }
    for (int c = 0; c < columns; ++c) {
        const Cell& cell = cells[static_cast<std::size_t>(c)];
        if (cell.Has(cell_flags::kWideRight) || cell.Has(cell_flags::kHidden) ||
            (look.blinkHidden && cell.Has(cell_flags::kBlink)))
            continue;
        const bool wide =
            c + 1 < columns && cells[static_cast<std::size_t>(c) + 1].Has(cell_flags::kWideRight);
        const QRect area = Cells(row, c, wide ? 2 : 1);
        const QColor text = QColor::fromRgb(colours_[static_cast<std::size_t>(c)].text);
        const char32_t ch = cell.Character();
        const std::u32string_view marks = screen.Marks(cell);
        if (!marks.empty()) {
            AddMarked(cell, marks, Baseline(row, c), area, text.rgb());
        } else if (ch != U' ' && !DrawBoxCharacter(painter, ch, area, text)) {
            runs_.Add(glyphs_.Find(VariantOf(cell), ch, wide ? 2 : 1), text.rgb(), Baseline(row, c),
                      area);
        }
        PaintDecorations(painter, cell, area, text);
    }
}

// A character with combining marks: its composed form when Unicode has one
// (e and U+0301 are drawn as the glyph of U+00E9), else the character with
// each mark's glyph centred over its cells, whatever the font's own offsets.
void RowPainter::AddMarked(const Cell& cell, std::u32string_view marks, QPointF baseline,
                           const QRect& area, QRgb text) {
    std::u32string whole(1, cell.Character());
    whole += marks;
    const QList<uint> points = QString::fromUcs4(whole.data(), static_cast<qsizetype>(whole.size()))
                                   .normalized(QString::NormalizationForm_C)
                                   .toUcs4();
    const int cells = area.width() / cellWidth_;
    const GlyphCache::Variant variant = VariantOf(cell);
    runs_.Add(glyphs_.Find(variant, points.front(), cells), text, baseline, area);
    for (qsizetype i = 1; i < points.size(); ++i) {
        const GlyphCache::Glyph mark = glyphs_.Find(variant, points[i], cells);
        const QRectF ink = glyphs_.Font(mark.font).boundingRect(mark.index);
        runs_.Add(mark, text, baseline + QPointF(area.width() / 2.0 - ink.center().x(), 0), area);
    }
}

void RowPainter::PaintDecorations(QPainter& painter, const Cell& cell, const QRect& cells,
                                  const QColor& colour) {
    const int baseline = cells.top() + ascent_;
    if (cell.Has(cell_flags::kUnderline)) {
        painter.fillRect(cells.left(),
                         std::min(baseline + underlineBelow_, cells.bottom() - lineWidth_ + 1),
                         cells.width(), lineWidth_, colour);
    }
    if (cell.Has(cell_flags::kStrike)) {
        painter.fillRect(cells.left(), baseline - strikeAbove_, cells.width(), lineWidth_, colour);
    }
}

namespace {

// Each channel as far from the text's as it can be: any ink of the text that
// reaches it changes it, by at least as much as it would change any other
// colour.
QRgb FarFrom(QRgb text) {
    const auto far = [](int channel) { return channel < 128 ? 255 : 0; };
    return qRgb(far(qRed(text)), far(qGreen(text)), far(qBlue(text)));
}

}  // namespace

// The cell is painted in the middle of a block of three cells by three
// filled with a colour far from its text's; any pixel around it that is no
// longer that colour is drawing that reaches past the cell.
template <class Paint>
bool RowPainter::PaintAlone(QRgb text, QImage& pixels, Paint paint) {
    const QRgb around = FarFrom(text);
    QImage block(3 * cellWidth_, 3 * cellHeight_, pixels.format());
    block.fill(around);
    {
        QPainter painter(&block);
        painter.translate(cellWidth_, cellHeight_);
        paint(painter);
    }
    const QRect cell(cellWidth_, cellHeight_, cellWidth_, cellHeight_);
    for (int y = 0; y < block.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(block.constScanLine(y));
        for (int x = 0; x < block.width(); ++x) {
            if (line[x] != around && !cell.contains(x, y)) return false;
        }
    }
    pixels = block.copy(cell);
    return true;
}

bool RowPainter::PaintAlonePlain(const Cell& cell, const QColor& text, const QColor& background,
                                 QImage& pixels) {
    return PaintAlone(text.rgb(), pixels, [&](QPainter& painter) {
        PaintPlainRows(
            painter, [&](int) { return std::span<const Cell>(&cell, 1); }, 0, 1, cellWidth_, text,
            background);
    });
}

bool RowPainter::PaintAloneExtended(const ScreenView& screen, const Cell& cell,
                                    const CellLook& look, QImage& pixels) {
    return PaintAlone(ColoursOf(cell, look).text, pixels, [&](QPainter& painter) {
        painter.fillRect(0, 0, cellWidth_, cellHeight_,
                         look.reverseScreen ? look.text : look.background);
        PaintCells(painter, screen, std::span<const Cell>(&cell, 1), 0, look);
        runs_.Draw(painter, glyphs_);
    });
}

}  // namespace quill
