#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace quill::bench {

// A rectangle of the screen, in root-window pixels.
struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The largest viewable top-level window of a class (WM_CLASS), if any, other
// than those `taken` (the windows of other clients of the same class).
std::optional<Window> FindWindow(Display* display, std::string_view windowClass,
                                 std::span<const Window> taken);
// Where a window is on the screen.
Rect WindowRect(Display* display, Window window);
// Moves a top-level window (there is no window manager under Xvfb) and waits
// until the server has done it.
void MoveWindow(Display* display, Window window, int x, int y);

// Grabs one rectangle of the screen again and again: with XShmGetImage when
// the server has the shared-memory extension, else with XGetImage.
class ScreenGrab {
  public:
    ScreenGrab(Display* display, Rect rect);
    ~ScreenGrab();
    ScreenGrab(const ScreenGrab&) = delete;
    ScreenGrab& operator=(const ScreenGrab&) = delete;

    // Takes the rectangle's pixels now.
    void Take();
    // The pixels of the last Take, row after row.
    std::span<const char> Pixels() const;
    // A copy of them, to compare later grabs with.
    std::vector<char> Snapshot() const;
    // The part of the rectangle, relative to it, where the pixels of the last
    // Take differ from `before` (of the same size); empty when none do.
    Rect Changed(std::span<const char> before) const;
    bool SharedMemory() const { return shared_; }

  private:
    Display* display_;
    Rect rect_;
    XImage* image_ = nullptr;
    XShmSegmentInfo segment_{};
    bool shared_ = false;
};

}  // namespace quill::bench
