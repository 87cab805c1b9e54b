#include "ui/terminal/x11_window_put.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QImage>
#include <QWindow>
#include <bit>
#include <cstdlib>
#include <cstring>

#include "ui/terminal/word_image.h"

namespace quill {

namespace {

// The pixels a direct put may carry at most: a few rows of cells. More go
// through Qt's flush, which splits them to the server's request size.
constexpr qsizetype kMaxPixels = 32 * 1024;

// Whether the window's visual keeps red, green and blue where the image's
// words do (a BGR server, as some VNC servers are, does not).
bool RgbVisual(const xcb_setup_t* setup, xcb_visualid_t visual) {
    for (auto screen = xcb_setup_roots_iterator(setup); screen.rem != 0; xcb_screen_next(&screen)) {
        for (auto depth = xcb_screen_allowed_depths_iterator(screen.data); depth.rem != 0;
             xcb_depth_next(&depth)) {
            for (auto type = xcb_depth_visuals_iterator(depth.data); type.rem != 0;
                 xcb_visualtype_next(&type)) {
                if (type.data->visual_id != visual) continue;
                return type.data->red_mask == 0xFF0000 && type.data->green_mask == 0xFF00 &&
                       type.data->blue_mask == 0xFF;
            }
        }
    }
    return false;
}

// The window's depth, if the server stores its pixels in 32-bit words laid
// out as the image's (in this machine's byte order); 0 otherwise.
std::uint8_t WordDepth(xcb_connection_t* connection, xcb_window_t window) {
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const auto order = std::endian::native == std::endian::little ? XCB_IMAGE_ORDER_LSB_FIRST
                                                                  : XCB_IMAGE_ORDER_MSB_FIRST;
    if (setup->image_byte_order != order) return 0;
    const auto attributes = xcb_get_window_attributes(connection, window);
    const auto geometry = xcb_get_geometry(connection, window);
    xcb_get_window_attributes_reply_t* looks =
        xcb_get_window_attributes_reply(connection, attributes, nullptr);
    xcb_get_geometry_reply_t* size = xcb_get_geometry_reply(connection, geometry, nullptr);
    const bool rgb = looks != nullptr && RgbVisual(setup, looks->visual);
    const std::uint8_t depth = size != nullptr ? size->depth : 0;
    std::free(looks);
    std::free(size);
    if (!rgb) return 0;
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
    // In 4-byte units, the request's own 24 bytes included.
    maxBytes_ = std::size_t{xcb_get_maximum_request_length(connection_)} * 4 -
                sizeof(xcb_put_image_request_t);
}

// The connection goes with the application: a view that outlives it has
// nothing left to free.
X11WindowPut::~X11WindowPut() {
    if (qGuiApp != nullptr) xcb_free_gc(connection_, context_);
}

bool X11WindowPut::Put(const QImage& image, const QRegion& area) {
    if (PixelsIn(area) > kMaxPixels) return false;
    for (const QRect& rect : area) {
        if (std::size_t(rect.width()) * std::size_t(rect.height()) * 4 > maxBytes_) return false;
    }
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
