#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRect>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/interfaces/cell.h"
#include "core/interfaces/palette.h"
#include "core/interfaces/screen_view.h"
#include "ui/terminal/glyph_cache.h"
#include "ui/terminal/terminal_fonts.h"

class QPainter;

namespace quill {

// Glyphs gathered by font and colour and drawn as one glyph run each; a
// fallback font's glyph is drawn on its own, clipped to its cells.
class GlyphRuns {
  public:
    void Add(const GlyphCache::Glyph& glyph, QRgb colour, QPointF at, const QRect& cells);
    // Draws what was gathered and starts afresh.
    void Draw(QPainter& painter, const GlyphCache& cache);

  private:
    struct Run {
        std::uint16_t font = 0;
        QRgb colour = 0;
        std::vector<quint32> glyphs;
        std::vector<QPointF> positions;
    };
    struct Clipped {
        GlyphCache::Glyph glyph;
        QRgb colour;
        QPointF at;
        QRect cells;
    };
    std::vector<Run> runs_;  // the first `used_` are in use; the rest keep their storage
    std::size_t used_ = 0;
    std::vector<Clipped> clipped_;
};

// How the extended terminal's cells are coloured: the palette the host may
// change, the user's text and background colours for the default colours,
// the reverse screen, which exchanges those two, whether bold text in
// colours 0-7 takes the bright colours 8-15, and whether blinking text is in
// the half of its blink that hides it.
struct CellLook {
    const Palette& palette;
    QColor text;
    QColor background;
    bool reverseScreen = false;
    bool boldBright = true;
    bool blinkHidden = false;
};

// Paints rows of cells from the screen model. The plain terminal draws each
// row in the normal font, bold cells again in the bold font, and inverts the
// pixels of reverse cells; the extended terminal draws every cell in its
// own colours, fonts and decorations, and box-drawing characters as lines.
class RowPainter {
  public:
    explicit RowPainter(const TerminalFonts& fonts);

    // Window rows [first, end), row i showing buffer row top + i, across
    // `width` pixels.
    void PaintPlain(QPainter& painter, const ScreenView& screen, int top, int first, int end,
                    int width, const QColor& text, const QColor& background);
    void PaintExtended(QPainter& painter, const ScreenView& screen, int top, int first, int end,
                       int width, const CellLook& look);

    const GlyphCache& Glyphs() const { return glyphs_; }

    // A cell's colours once its flags and the screen have had their say.
    struct CellColours {
        QRgb text;
        QRgb background;
    };
    static CellColours ColoursOf(const Cell& cell, const CellLook& look);

    // One cell as its row paints it, into `pixels` (one cell in size, in the
    // window's image format); false when its drawing reaches past the cell
    // (a glyph wider than its cell), so that only its row can paint it. A
    // cell with combining marks or a wide character is never painted alone.
    bool PaintAlonePlain(const Cell& cell, const QColor& text, const QColor& background,
                         QImage& pixels);
    bool PaintAloneExtended(const ScreenView& screen, const Cell& cell, const CellLook& look,
                            QImage& pixels);

  private:
    template <class RowAt>
    void PaintPlainRows(QPainter& painter, RowAt rowAt, int first, int end, int width,
                        const QColor& text, const QColor& background);
    template <class Paint>
    bool PaintAlone(QRgb text, QImage& pixels, Paint paint);
    QPointF Baseline(int row, int column) const;
    QRect Cells(int row, int column, int count) const;
    void PaintCells(QPainter& painter, const ScreenView& screen, std::span<const Cell> cells,
                    int row, const CellLook& look);
    void PaintDoubleRow(QPainter& painter, const ScreenView& screen, int bufferRow, int row,
                        int width, const CellLook& look);
    void AddMarked(const Cell& cell, std::u32string_view marks, QPointF baseline, const QRect& area,
                   QRgb text);
    void PaintDecorations(QPainter& painter, const Cell& cell, const QRect& cells,
                          const QColor& colour);

    GlyphCache glyphs_;
    GlyphRuns runs_;
    std::vector<CellColours> colours_;  // one row's, reused by every paint
    const int cellWidth_;
    const int cellHeight_;
    const int ascent_;
    // Underline and strike: their width, and where they lie from the
    // baseline, taken from the regular font once.
    const int lineWidth_;
    const int underlineBelow_;
    const int strikeAbove_;
};

}  // namespace quill
