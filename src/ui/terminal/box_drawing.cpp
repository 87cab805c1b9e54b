#include "ui/terminal/box_drawing.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <string_view>

namespace quill {

namespace {

constexpr char32_t kBoxFirst = 0x2500;
constexpr char32_t kBlockFirst = 0x2580;
constexpr char32_t kBlockEnd = 0x25A0;
constexpr char32_t kDiamond = 0x25C6;

// The four arms of each box-drawing character, in the order left, up,
// right, down: 0 none, 1 light, 2 heavy, 3 double. "...." is drawn by the font.
constexpr std::array<std::string_view, 128> kArms = {
    "1010", "2020", "0101", "0202", "....", "....", "....", "....",  // 2500
    "....", "....", "....", "....", "0011", "0021", "0012", "0022",  // 2508
    "1001", "2001", "1002", "2002", "0110", "0120", "0210", "0220",  // 2510
    "1100", "2100", "1200", "2200", "0111", "0121", "0211", "0112",  // 2518
    "0212", "0221", "0122", "0222", "1101", "2101", "1201", "1102",  // 2520
    "1202", "2201", "2102", "2202", "1011", "2011", "1021", "2021",  // 2528
    "1012", "2012", "1022", "2022", "1110", "2110", "1120", "2120",  // 2530
    "1210", "2210", "1220", "2220", "1111", "2111", "1121", "2121",  // 2538
    "1211", "1112", "1212", "2211", "1221", "2112", "1122", "2221",  // 2540
    "2122", "2212", "1222", "2222", "....", "....", "....", "....",  // 2548
    "3030", "0303", "0031", "0013", "0033", "3001", "1003", "3003",  // 2550
    "0130", "0310", "0330", "3100", "1300", "3300", "0131", "0313",  // 2558
    "0333", "3101", "1303", "3303", "3031", "1013", "3033", "3130",  // 2560
    "1310", "3330", "3131", "1313", "3333", "0011", "1001", "1100",  // 2568
    "0110", "....", "....", "....", "1000", "0100", "0010", "0001",  // 2570
    "2000", "0200", "0020", "0002", "1020", "0102", "2010", "0201",  // 2578
};

enum Arm { kLeft, kUp, kRight, kDown };

// Pixel measures of one cell's lines: the light stroke, the heavy one, and
// the distance of each line of a double stroke from the centre.
struct Strokes {
    int light;
    int heavy;
    int gap;
    int Width(int weight) const { return weight == 2 ? heavy : light; }
    // How many pixels a stroke of this weight covers before its centre line
    // (above or left of it) and after it.
    int Before(int weight) const {
        if (weight == 0) return 0;
        return weight == 3 ? gap + light / 2 : Width(weight) / 2;
    }
    int After(int weight) const {
        if (weight == 0) return 0;
        const int width = weight == 3 ? light : Width(weight);
        return (weight == 3 ? gap : 0) + width - 1 - width / 2;
    }
};

class BoxPainter {
  public:
    BoxPainter(QPainter& painter, const QRect& cell, const QColor& colour, std::string_view arms)
        : painter_(painter), cell_(cell), colour_(colour), arms_(arms) {
        const int light = std::max(1, (cell.width() + 4) / 9);
        strokes_ = {light, 2 * light, light};
        cx_ = cell.left() + cell.width() / 2;
        cy_ = cell.top() + cell.height() / 2;
    }

    void Draw() {
        for (const Arm arm : {kLeft, kUp, kRight, kDown}) {
            const int weight = Weight(arm);
            if (weight == 3) {
                DoubleArm(arm);
            } else if (weight != 0) {
                Line(arm, 0, strokes_.Width(weight), -Across(arm));
            }
        }
    }

  private:
    int Weight(Arm arm) const { return arms_[arm] - '0'; }
    // A single stroke reaches over the centre to the far side of the
    // strokes across it.
    int Across(Arm arm) const {
        const std::array<Arm, 2> across =
            Horizontal(arm) ? std::array{kUp, kDown} : std::array{kLeft, kRight};
        int reach = 0;
        for (const Arm a : across) {
            const int weight = Weight(a);
            reach = std::max(reach, arm == kLeft || arm == kUp ? strokes_.After(weight)
                                                               : strokes_.Before(weight));
        }
        return reach;
    }
    static bool Horizontal(Arm arm) { return arm == kLeft || arm == kRight; }

    // The two lines of a double arm stop short of the centre on a side
    // where a stroke crosses, and reach past it on the other, so that
    // corners, tees and crosses of double lines stay open inside.
    void DoubleArm(Arm arm) {
        const Arm before = Horizontal(arm) ? kUp : kLeft;
        const Arm after = Horizontal(arm) ? kDown : kRight;
        const bool crossBefore = Weight(before) != 0;
        const bool crossAfter = Weight(after) != 0;
        const int gap = strokes_.gap;
        for (const int side : {-1, 1}) {
            const bool ownSide = side < 0 ? crossBefore : crossAfter;
            const bool otherSide = side < 0 ? crossAfter : crossBefore;
            int stop = 0;
            if (ownSide) {
                stop = gap;
            } else if (otherSide) {
                stop = -gap;
            }
            Line(arm, side * gap, strokes_.light, stop);
        }
    }

    // A stroke `width` wide whose centre line is `offset` from the cell's
    // centre, from the cell's edge on the side of `arm` to `stop` pixels
    // short of the centre (past it when negative).
    void Line(Arm arm, int offset, int width, int stop) {
        QRect r;
        if (Horizontal(arm)) {
            const int top = cy_ + offset - width / 2;
            const int left = arm == kLeft ? cell_.left() : cx_ + stop;
            const int right = arm == kLeft ? cx_ - stop : cell_.right();
            r = QRect(QPoint(left, top), QPoint(right, top + width - 1));
        } else {
            const int left = cx_ + offset - width / 2;
            const int top = arm == kUp ? cell_.top() : cy_ + stop;
            const int bottom = arm == kUp ? cy_ - stop : cell_.bottom();
            r = QRect(QPoint(left, top), QPoint(left + width - 1, bottom));
        }
        painter_.fillRect(r, colour_);
    }

    QPainter& painter_;
    QRect cell_;
    QColor colour_;
    std::string_view arms_;
    Strokes strokes_{};
    int cx_ = 0;
    int cy_ = 0;
};

// The block elements: eighths from the bottom and from the left, halves,
// the three shades and the quadrants.
bool DrawBlock(QPainter& painter, char32_t c, const QRect& cell, const QColor& colour) {
    const int w = cell.width();
    const int h = cell.height();
    const int x = cell.left();
    const int y = cell.top();
    const int n = static_cast<int>(c - kBlockFirst);
    if (c == 0x2580) {
        painter.fillRect(x, y, w, h / 2, colour);
    } else if (c <= 0x2588) {  // lower one eighth to the full block
        const int part = h * n / 8;
        painter.fillRect(x, y + h - part, w, part, colour);
    } else if (c <= 0x258F) {  // left seven eighths to one eighth
        painter.fillRect(x, y, w * (16 - n) / 8, h, colour);
    } else if (c == 0x2590) {
        painter.fillRect(x + w / 2, y, w - w / 2, h, colour);
    } else if (c == 0x2592) {  // medium shade: every other pixel, as a font draws it
        painter.fillRect(cell, QBrush(colour, Qt::Dense4Pattern));
    } else if (c <= 0x2593) {  // light and dark shade
        QColor shade = colour;
        shade.setAlphaF(0.25F * static_cast<float>(n - 0x10));
        painter.fillRect(cell, shade);
    } else if (c == 0x2594) {
        painter.fillRect(x, y, w, std::max(1, h / 8), colour);
    } else if (c == 0x2595) {
        const int part = std::max(1, w / 8);
        painter.fillRect(x + w - part, y, part, h, colour);
    } else {
        // Quadrants U+2596 to U+259F, as bits: upper left 1, upper right 2,
        // lower left 4, lower right 8.
        constexpr std::array<int, 10> kQuadrants = {4, 8, 1, 13, 9, 7, 11, 2, 6, 14};
        const int q = kQuadrants[static_cast<std::size_t>(n - 0x16)];
        const int half = w / 2;
        const int middle = h / 2;
        if (q & 1) painter.fillRect(x, y, half, middle, colour);
        if (q & 2) painter.fillRect(x + half, y, w - half, middle, colour);
        if (q & 4) painter.fillRect(x, y + middle, half, h - middle, colour);
        if (q & 8) painter.fillRect(x + half, y + middle, w - half, h - middle, colour);
    }
    return true;
}

// The line-drawing set's diamond: as wide as its cell and as tall as it is
// wide, on the cell's middle, so that a row of them touch at their points.
void DrawDiamond(QPainter& painter, const QRect& cell, const QColor& colour) {
    const QPointF centre = QRectF(cell).center();
    const qreal half = std::min(cell.width(), cell.height()) / 2.0;
    const QPointF corners[] = {{centre.x(), centre.y() - half},
                               {qreal(cell.left() + cell.width()), centre.y()},
                               {centre.x(), centre.y() + half},
                               {qreal(cell.left()), centre.y()}};
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPolygon(corners, 4);
    painter.restore();
}

}  // namespace

bool DrawBoxCharacter(QPainter& painter, char32_t c, const QRect& cell, const QColor& colour) {
    if (c == kDiamond) {
        DrawDiamond(painter, cell, colour);
        return true;
    }
    if (c < kBoxFirst || c >= kBlockEnd) return false;
    if (c >= kBlockFirst) return DrawBlock(painter, c, cell, colour);
    const std::string_view arms = kArms[c - kBoxFirst];
    if (arms[0] == '.') return false;
    BoxPainter(painter, cell, colour, arms).Draw();
    return true;
}

}  // namespace quill
