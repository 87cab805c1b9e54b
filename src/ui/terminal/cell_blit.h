#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRegion>
#include <cstddef>
#include <cstdint>
#include <span>
#include <unordered_map>

#include "core/interfaces/cell.h"
#include "core/interfaces/dialect_id.h"
#include "core/interfaces/screen_view.h"
#include "ui/terminal/row_painter.h"

namespace quill {

// The lines of a 32-bit image, reached without a detach per line, with
// `offset` added to every point.
struct ImageLines {
    ImageLines(QImage& image, QPoint offset)
        : bits(image.bits()), stride(image.bytesPerLine()), offset(offset) {}
    uchar* At(QPoint point) const {
        return bits + (point.y() + offset.y()) * stride + (point.x() + offset.x()) * 4;
    }
    uchar* bits;
    qsizetype stride;
    QPoint offset;
};

// How the terminal in force colours its cells: the plain terminal's two
// colours, or the extended and BBS terminals' look.
struct BlitLook {
    DialectId dialect;
    QRgb text;
    QRgb background;
    CellLook cells;
};

// Paints small areas of the window without a painter. Each cell's pixels
// are made once, by the row painter painting that cell alone, and copied
// into the window's image from then on. That is only exact where the cells
// of the area, and the cells around them, draw nothing outside their own
// cell; anything else (a glyph wider than its cell, a wide character,
// combining marks, a row of double size, pixels outside the grid) is left to
// the row painter.
class CellBlit {
  public:
    explicit CellBlit(RowPainter& painter, int cellWidth, int cellHeight);

    // The area (window pixels, rows from buffer row `top`, `rows` of them
    // shown) into `image` at `offset`. False when some part cannot be
    // blitted: the caller then paints the whole area, over whatever was
    // copied.
    bool Paint(QImage& image, QPoint offset, const QRegion& area, const ScreenView& screen, int top,
               int rows, const BlitLook& look);

  private:
    // What a cell's pixels depend on: its character, its attributes, its two
    // colours resolved, and the terminal that paints it.
    struct Key {
        char32_t character;
        std::uint16_t flags;
        std::uint16_t plain;
        QRgb text;
        QRgb background;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const;
    };
    static bool InDefaultColours(const Key& key, const BlitLook& look);
    const QImage* CellPixels(const ScreenView& screen, std::span<const Cell> row, int column,
                             const BlitLook& look);
    QImage PaintAlone(const ScreenView& screen, const Cell& cell, const BlitLook& look);
    void PaintPrintable(const ScreenView& screen, const Cell& cell, const Key& key,
                        const BlitLook& look);
    bool PaintRect(const ImageLines& lines, const QRect& rect, const ScreenView& screen, int top,
                   int rows, const BlitLook& look);

    RowPainter& painter_;
    const int cellWidth_;
    const int cellHeight_;
    QImage::Format format_ = QImage::Format_Invalid;
    // Each cell's pixels, a null image where its drawing reaches past it.
    std::unordered_map<Key, QImage, KeyHash> cache_;
    int made_ = 0;  // the cells the current paint has made
};

// Inverts the pixels of `rect` as a white fill with the difference
// composition does: each colour channel becomes its complement.
void InvertPixels(QImage& image, const QRect& rect);

}  // namespace quill
