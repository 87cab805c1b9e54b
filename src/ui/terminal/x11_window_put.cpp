#include "ui/terminal/x11_window_put.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QImage>
#include <QWindow>
#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

namespace quill {

namespace {

// The pixels a direct put may carry at most: a few rows of cells, well
// inside the 256 KiB a request may hold without the BIG-REQUESTS extension.
// More go through Qt's flush, which splits them to the server's limit.
constexpr qsizetype kMaxPixels = 32 * 1024;

// The window's depth, if the server stores it in 32-bit words laid out as
// the image's (on this machine's byte order).
std::uint8_t WordDepth(xcb_connection_t* connection, xcb_window_t window) {
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const auto order = std::endian::native == std::endian::little ? XCB_IMAGE_ORDER_LSB_FIRST
                                                                  : XCB_IMAGE_ORDER_MSB_FIRST;
    if (setup->image_byte_order != order) return 0;
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    if (geometry == nullptr) return 0;
    const std::uint8_t depth = geometry->depth;
    std::free(geometry);
    for (auto format = xcb_setup_pixmap_formats_iterator(setup); format.rem != 0;
         xcb_format_next(&format)) {
        if (format.data->depth == depth && format.data->bits_per_pixel == 32) return depth;
    }
    return 0;
}

}  // namespace

std::unique_ptr<X11WindowPut> X11WindowPut::For(QWindow& window) {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
    xcb_connection_t* connection = x11->connection();
    if (connection == nullptr) return nullptr;
    const auto id = static_cast<xcb_window_t>(window.winId());
    const std::uint8_t depth = WordDepth(connection, id);
    if (depth == 0) return nullptr;
    return std::unique_ptr<X11WindowPut>(new X11WindowPut(connection, id, depth));
}

X11WindowPut::X11WindowPut(xcb_connection_t* connection, std::uint32_t window, std::uint8_t depth)
    : connection_(connection),
      window_(window),
      context_(xcb_generate_id(connection)),
      depth_(depth) {
    const std::uint32_t noExposures = 0;
    xcb_create_gc(connection_, context_, window_, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
}

// The connection goes with the application: a view that outlives it has
// nothing left to free.
X11WindowPut::~X11WindowPut() {
    if (qGuiApp != nullptr) xcb_free_gc(connection_, context_);
}

bool X11WindowPut::Serves(const QWindow& window) const {
    return window.winId() == window_;
}

bool X11WindowPut::Put(const QImage& image, const QRegion& area) {
    qsizetype pixels = 0;
    for (const QRect& rect : area) pixels += qsizetype{rect.width()} * rect.height();
    if (pixels > kMaxPixels) return false;
    for (QRect rect : area) {
        rect &= image.rect();
        if (rect.isEmpty()) continue;
        const auto width = static_cast<std::size_t>(rect.width());
        rows_.resize(width * static_cast<std::size_t>(rect.height()));
        for (int y = 0; y < rect.height(); ++y) {
            const auto* line =
                reinterpret_cast<const std::uint32_t*>(image.constScanLine(rect.y() + y));
            std::memcpy(&rows_[static_cast<std::size_t>(y) * width], line + rect.x(), width * 4);
        }
        xcb_put_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, context_,
                      static_cast<std::uint16_t>(rect.width()),
                      static_cast<std::uint16_t>(rect.height()),
                      static_cast<std::int16_t>(rect.x()), static_cast<std::int16_t>(rect.y()), 0,
                      depth_, static_cast<std::uint32_t>(rows_.size() * 4),
                      reinterpret_cast<const std::uint8_t*>(rows_.data()));
    }
    xcb_flush(connection_);
    return true;
}

}  // namespace quill
