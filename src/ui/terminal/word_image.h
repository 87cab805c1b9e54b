#pragma once

#include <QImage>
#include <QRegion>

namespace quill {

// Whether an image holds one 32-bit word per pixel, one pixel per window
// pixel: what the window's cells are copied into and put onto the window
// from, word by word.
inline bool IsWordImage(const QImage& image) {
    return (image.format() == QImage::Format_RGB32 ||
            image.format() == QImage::Format_ARGB32_Premultiplied) &&
           image.devicePixelRatio() == 1.0;
}

// The pixels of an area, each counted once (its rectangles do not overlap).
inline qsizetype PixelsIn(const QRegion& area) {
    qsizetype pixels = 0;
    for (const QRect& rect : area) pixels += qsizetype{rect.width()} * rect.height();
    return pixels;
}

}  // namespace quill
