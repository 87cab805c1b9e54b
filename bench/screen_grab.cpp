#include "screen_grab.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace quill::bench {

namespace {

bool HasClass(Display* display, Window window, std::string_view windowClass) {
    XClassHint hint{};
    if (XGetClassHint(display, window, &hint) == 0) return false;
    const bool match = hint.res_class != nullptr && windowClass == hint.res_class;
    XFree(hint.res_name);
    XFree(hint.res_class);
    return match;
}

}  // namespace

std::optional<Window> FindWindow(Display* display, std::string_view windowClass,
                                 std::span<const Window> taken) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0) {
        return std::nullopt;
    }
    std::optional<Window> best;
    long bestArea = 0;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes a{};
        if (std::find(taken.begin(), taken.end(), children[i]) != taken.end() ||
            XGetWindowAttributes(display, children[i], &a) == 0 || a.map_state != IsViewable) {
            continue;
        }
        const long area = static_cast<long>(a.width) * a.height;
        if (area > bestArea && HasClass(display, children[i], windowClass)) {
            best = children[i];
            bestArea = area;
        }
    }
    XFree(children);
    return best;
}

Rect WindowRect(Display* display, Window window) {
    XWindowAttributes a{};
    XGetWindowAttributes(display, window, &a);
    int x = 0;
    int y = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    return {x, y, a.width, a.height};
}

void MoveWindow(Display* display, Window window, int x, int y) {
    XMoveWindow(display, window, x, y);
    XSync(display, False);
}

ScreenGrab::ScreenGrab(Display* display, Rect rect) : display_(display), rect_(rect) {
    const int screen = DefaultScreen(display);
    Visual* visual = DefaultVisual(display, screen);
    const auto depth = static_cast<unsigned>(DefaultDepth(display, screen));
    const auto width = static_cast<unsigned>(rect.width);
    const auto height = static_cast<unsigned>(rect.height);
    if (XShmQueryExtension(display) != 0) {
        image_ =
            XShmCreateImage(display, visual, depth, ZPixmap, nullptr, &segment_, width, height);
        segment_.shmid =
            shmget(IPC_PRIVATE, static_cast<std::size_t>(image_->bytes_per_line) * height,
                   IPC_CREAT | 0600);
        void* memory = segment_.shmid < 0 ? nullptr : shmat(segment_.shmid, nullptr, 0);
        if (memory == reinterpret_cast<void*>(-1)) memory = nullptr;
        segment_.shmaddr = image_->data = static_cast<char*>(memory);
        segment_.readOnly = False;
        shared_ = memory != nullptr && XShmAttach(display, &segment_) != 0;
        XSync(display, False);
        // Removed now, the segment goes away with the last detach.
        shmctl(segment_.shmid, IPC_RMID, nullptr);
        if (!shared_) {
            if (memory != nullptr) shmdt(memory);
            image_->data = nullptr;
            XDestroyImage(image_);
            image_ = nullptr;
        }
    }
    if (!shared_) {
        image_ = XGetImage(display, DefaultRootWindow(display), rect.x, rect.y, width, height,
                           AllPlanes, ZPixmap);
    }
    if (image_ == nullptr) {
        std::fprintf(stderr, "cannot grab the screen\n");
        std::exit(1);
    }
}

ScreenGrab::~ScreenGrab() {
    if (shared_) {
        XShmDetach(display_, &segment_);
        XSync(display_, False);
        shmdt(segment_.shmaddr);
        image_->data = nullptr;
    }
    XDestroyImage(image_);
}

void ScreenGrab::Take() {
    const Window root = DefaultRootWindow(display_);
    if (shared_) {
        XShmGetImage(display_, root, image_, rect_.x, rect_.y, AllPlanes);
    } else {
        XGetSubImage(display_, root, rect_.x, rect_.y, static_cast<unsigned>(rect_.width),
                     static_cast<unsigned>(rect_.height), AllPlanes, ZPixmap, image_, 0, 0);
    }
}

std::span<const char> ScreenGrab::Pixels() const {
    return {image_->data, static_cast<std::size_t>(image_->bytes_per_line) * image_->height};
}

std::vector<char> ScreenGrab::Snapshot() const {
    const std::span<const char> pixels = Pixels();
    return {pixels.begin(), pixels.end()};
}

Rect ScreenGrab::Changed(std::span<const char> before) const {
    const auto pixelBytes = static_cast<std::size_t>(image_->bits_per_pixel / 8);
    const auto line = static_cast<std::size_t>(image_->bytes_per_line);
    int left = rect_.width;
    int right = -1;
    int top = rect_.height;
    int bottom = -1;
    for (int y = 0; y < rect_.height; ++y) {
        const char* now = image_->data + static_cast<std::size_t>(y) * line;
        const char* then = before.data() + static_cast<std::size_t>(y) * line;
        for (int x = 0; x < rect_.width; ++x) {
            const std::size_t at = static_cast<std::size_t>(x) * pixelBytes;
            if (std::memcmp(now + at, then + at, pixelBytes) == 0) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0) return {};
    return {left, top, right - left + 1, bottom - top + 1};
}

}  // namespace quill::bench
