#include "ui/terminal/cell_blit.h"

#include <algorithm>
#include <cstring>

#include "ui/terminal/word_image.h"

namespace quill {

namespace {

// Pixels of as many cells as a few screens hold in all their looks; past
// that the cache starts afresh.
constexpr std::size_t kMaxCells = 4096;
// An area of more cells than a few rows is painted: a screenful goes as fast
// through the painter, and a flood is paced by frames, not by a byte's way
// to the screen.
constexpr qsizetype kMaxCellsCopied = 320;
// The cells one paint may make before it leaves the area to the painter
// (output in a new colour at every character, a gradient, makes a cell for
// each), besides the printable set of a look in the default colours.
constexpr int kMadeInAPaint = 16;
// The attribute bits that change how a cell of the extended terminal is
// drawn, and one more for blinking text in the half of its blink that
// hides it.
constexpr std::uint16_t kDrawnFlags = 0xFF;
constexpr std::uint16_t kBlinkHidden = 1 << 8;
constexpr char32_t kFirstPrintable = U'!';
constexpr char32_t kLastPrintable = U'~';
constexpr std::size_t kPrintable = kLastPrintable - kFirstPrintable + 1;

bool IsPrintableAscii(char32_t ch) {
    return ch >= kFirstPrintable && ch <= kLastPrintable;
}

// A cell the row painter draws with others: a wide character, either half,
// or a character with combining marks.
bool DrawnWithOthers(const ScreenView& screen, std::span<const Cell> row, int column) {
    const auto c = static_cast<std::size_t>(column);
    const Cell& cell = row[c];
    return cell.Has(cell_flags::kWideRight) ||
           (c + 1 < row.size() && row[c + 1].Has(cell_flags::kWideRight)) ||
           !screen.Marks(cell).empty();
}

// The part of a cell at `cellRect` from its pixels into the image's lines.
void CopyCell(const QImage& cell, const QRect& cellRect, const QRect& part, const ImageLines& to) {
    const auto bytes = static_cast<std::size_t>(part.width()) * 4;
    const qsizetype from = cell.bytesPerLine();
    const uchar* source = cell.constBits() + (part.top() - cellRect.top()) * from +
                          (part.left() - cellRect.left()) * 4;
    uchar* target = to.At(part.topLeft());
    for (int y = part.top(); y <= part.bottom(); ++y) {
        std::memcpy(target, source, bytes);
        source += from;
        target += to.stride;
    }
}

}  // namespace

// The plain terminal has no other colours.
bool CellBlit::InDefaultColours(const Key& key, const BlitLook& look) {
    if (look.dialect == DialectId::kPlain) return true;
    const RowPainter::CellColours defaults = RowPainter::ColoursOf(Cell{}, look.cells);
    return key.text == defaults.text && key.background == defaults.background;
}

std::size_t CellBlit::KeyHash::operator()(const Key& key) const {
    std::uint64_t h =
        (std::uint64_t{key.character} << 32) ^ (std::uint64_t{key.flags} << 16) ^ key.plain;
    h ^= (std::uint64_t{key.text} << 32 | key.background) * 0x9E3779B97F4A7C15ULL;
    return static_cast<std::size_t>(h ^ (h >> 29));
}

CellBlit::CellBlit(RowPainter& painter, int cellWidth, int cellHeight)
    : painter_(painter), cellWidth_(cellWidth), cellHeight_(cellHeight) {}

bool CellBlit::Paint(QImage& image, QPoint offset, const QRegion& area, const ScreenView& screen,
                     int top, int rows, const BlitLook& look) {
    if (!IsWordImage(image)) return false;
    if (image.format() != format_) {
        cache_.clear();
        format_ = image.format();
    }
    if (!image.rect().contains(area.boundingRect().translated(offset))) return false;
    if (PixelsIn(area) > kMaxCellsCopied * cellWidth_ * cellHeight_) return false;
    made_ = 0;
    const ImageLines lines(image, offset);
    return std::all_of(area.begin(), area.end(), [&](const QRect& rect) {
        return PaintRect(lines, rect, screen, top, rows, look);
    });
}

// The cells the rectangle touches are copied once every cell of the block
// around them, one cell wider on each side, is known to draw within itself.
bool CellBlit::PaintRect(const ImageLines& lines, const QRect& rect, const ScreenView& screen,
                         int top, int rows, const BlitLook& look) {
    const int firstRow = rect.top() / cellHeight_;
    const int lastRow = rect.bottom() / cellHeight_;
    const int firstColumn = rect.left() / cellWidth_;
    const int lastColumn = rect.right() / cellWidth_;
    // The extended terminal shows nothing in the row below its screen.
    const int shown =
        look.dialect == DialectId::kPlain ? rows : std::min(rows, screen.BufferRows() - 1 - top);
    if (rect.left() < 0 || rect.top() < 0 || lastRow >= shown) return false;
    for (int r = std::max(firstRow - 1, 0); r <= std::min(lastRow + 1, shown - 1); ++r) {
        const bool painted = r >= firstRow && r <= lastRow;
        if (screen.RowLineSize(top + r) != LineSize::kSingle) {
            if (painted) return false;
            continue;  // held within its own row
        }
        const std::span<const Cell> row = screen.Row(top + r);
        const int columns = static_cast<int>(row.size());
        if (lastColumn >= columns) return false;
        for (int c = std::max(firstColumn - 1, 0); c <= std::min(lastColumn + 1, columns - 1);
             ++c) {
            const QImage* pixels = CellPixels(screen, row, c, look);
            if (pixels == nullptr) return false;
            if (!painted || c < firstColumn || c > lastColumn) continue;
            const QRect cell(c * cellWidth_, r * cellHeight_, cellWidth_, cellHeight_);
            CopyCell(*pixels, cell, cell & rect, lines);
        }
    }
    return true;
}

const QImage* CellBlit::CellPixels(const ScreenView& screen, std::span<const Cell> row, int column,
                                   const BlitLook& look) {
    if (DrawnWithOthers(screen, row, column)) return nullptr;
    const Cell& cell = row[static_cast<std::size_t>(column)];
    const bool plain = look.dialect == DialectId::kPlain;
    Key key{cell.Character(), 0, plain, look.text, look.background};
    if (plain) {
        key.flags = AttributeCode(cell);
    } else {
        const RowPainter::CellColours colours = RowPainter::ColoursOf(cell, look.cells);
        key.flags = cell.flags & kDrawnFlags;
        if (look.cells.blinkHidden && cell.Has(cell_flags::kBlink)) key.flags |= kBlinkHidden;
        key.text = colours.text;
        key.background = colours.background;
    }
    auto found = cache_.find(key);
    if (found == cache_.end()) {
        if (cache_.size() + kPrintable >= kMaxCells) cache_.clear();
        if (made_ == 0 && IsPrintableAscii(key.character) && InDefaultColours(key, look)) {
            PaintPrintable(screen, cell, key, look);
            found = cache_.find(key);
        } else if (made_ < kMadeInAPaint) {
            found = cache_.emplace(key, PaintAlone(screen, cell, look)).first;
        } else {
            return nullptr;
        }
        ++made_;
    }
    return found->second.isNull() ? nullptr : &found->second;
}

QImage CellBlit::PaintAlone(const ScreenView& screen, const Cell& cell, const BlitLook& look) {
    QImage pixels(cellWidth_, cellHeight_, format_);
    const bool alone =
        look.dialect == DialectId::kPlain
            ? painter_.PaintAlonePlain(cell, QColor(look.text), QColor(look.background), pixels)
            : painter_.PaintAloneExtended(screen, cell, look.cells, pixels);
    return alone ? pixels : QImage();
}

// Typing and a shell's output come in the default colours: the first
// printable character in them makes the whole printable ASCII of that look
// at once, so that typing does not meet a new character at every key.
void CellBlit::PaintPrintable(const ScreenView& screen, const Cell& cell, const Key& key,
                              const BlitLook& look) {
    Cell other = cell;
    Key otherKey = key;
    for (char32_t ch = kFirstPrintable; ch <= kLastPrintable; ++ch) {
        other.character = ch;
        otherKey.character = ch;
        if (!cache_.contains(otherKey)) cache_.emplace(otherKey, PaintAlone(screen, other, look));
    }
}

void InvertPixels(QImage& image, const QRect& rect) {
    const QRect inside = rect & image.rect();
    if (inside.isEmpty()) return;
    const ImageLines lines(image, QPoint(0, 0));
    uchar* line = lines.At(inside.topLeft());
    for (int y = inside.top(); y <= inside.bottom(); ++y, line += lines.stride) {
        auto* pixels = reinterpret_cast<QRgb*>(line);
        for (int x = 0; x < inside.width(); ++x) pixels[x] ^= 0x00FFFFFFU;
    }
}

}  // namespace quill
