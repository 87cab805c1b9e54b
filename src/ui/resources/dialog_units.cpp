#include "ui/resources/dialog_units.h"

#include <QFont>
#include <QFontMetrics>
#include <cstdint>
#include <cstdlib>

namespace quill {

DialogBaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const int alphabet = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    // The width of 52 letters halved twice, rounding the way the window system
    // does for dialog fonts.
    return {(alphabet / 26 + 1) / 2, metrics.height()};
}

int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t half = std::llabs(c) / 2;
    const bool negative = (product < 0) != (c < 0);
    const std::int64_t magnitude = (std::llabs(product) + half) / std::llabs(c);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

QRect DialogToPixels(const DialogRect& rect, DialogBaseUnits units) {
    return {MulDiv(rect.x, units.cx, 4), MulDiv(rect.y, units.cy, 8),
            MulDiv(rect.width, units.cx, 4), MulDiv(rect.height, units.cy, 8)};
}

}  // namespace quill
