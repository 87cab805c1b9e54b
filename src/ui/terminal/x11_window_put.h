#pragma once

#include <QRegion>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class QImage;
class QWindow;
struct xcb_connection_t;

namespace quill {

// Puts rectangles of a window's backing-store image straight onto its X11
// window, one PutImage each, where Qt's own flush of the backing store
// puts them into a server-side pixmap and then copies that to the window
// between two changes of the clip. The backing store still knows the area
// as painted and not yet flushed, so its own next flush or scroll brings
// its pixmap up to date before it reads from it.
class X11WindowPut {
  public:
    // Null where the window is not an X11 window, or the server does not
    // keep its pixels as 32-bit words in this machine's byte order.
    static std::unique_ptr<X11WindowPut> For(QWindow& window);
    ~X11WindowPut();
    X11WindowPut(const X11WindowPut&) = delete;
    X11WindowPut& operator=(const X11WindowPut&) = delete;

    // The area of an image of 32-bit words (see IsWordImage) as large as
    // the window. False, and nothing sent, for an area larger than the cap
    // on the direct path (a whole screen goes through Qt's flush).
    bool Put(const QImage& image, const QRegion& area);

  private:
    X11WindowPut(xcb_connection_t* connection, std::uint32_t window, std::uint8_t depth);

    xcb_connection_t* connection_;
    std::uint32_t window_;
    std::uint32_t context_;  // the graphics context, without exposure events
    std::uint8_t depth_;
    std::size_t maxBytes_ = 0;  // the pixels one request may carry
    std::vector<std::uint32_t> rows_;  // one rectangle's pixels, row after row
};

}  // namespace quill
