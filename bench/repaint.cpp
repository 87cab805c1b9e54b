// How often a window's pixels change while it is shown:
//
//   quillterm-bench-repaint WINDOW_ID [INTERVAL_MS]
//
// grabs the window's rectangle of the screen every INTERVAL_MS (10 by
// default) until the window is no longer viewable, and prints when its
// pixels first changed, how often they changed after that and the longest
// time between two such changes (so also between a repaint and the next).
// Used on the ZMODEM progress dialog, whose figures change at every repaint.
#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <thread>
#include <vector>

#include "screen_grab.h"

namespace quill::bench {
namespace {

using Clock = std::chrono::steady_clock;

bool windowGone = false;

int NoteError(Display*, XErrorEvent*) {
    windowGone = true;
    return 0;
}

bool Viewable(Display* display, Window window) {
    XWindowAttributes a{};
    const bool known = XGetWindowAttributes(display, window, &a) != 0;
    XSync(display, False);
    return known && !windowGone && a.map_state == IsViewable;
}

bool SameRect(const Rect& a, const Rect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

// The window's rectangle, the part of it on the screen.
Rect OnScreen(Display* display, Window window) {
    const Rect r = WindowRect(display, window);
    const int screen = DefaultScreen(display);
    const int left = std::max(r.x, 0);
    const int top = std::max(r.y, 0);
    const int right = std::min(r.x + r.width, DisplayWidth(display, screen));
    const int bottom = std::min(r.y + r.height, DisplayHeight(display, screen));
    return {left, top, std::max(right - left, 1), std::max(bottom - top, 1)};
}

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

int Watch(Display* display, Window window, std::chrono::milliseconds interval) {
    Rect rect = OnScreen(display, window);
    std::optional<ScreenGrab> grab(std::in_place, display, rect);
    grab->Take();
    std::vector<char> before = grab->Snapshot();
    const Clock::time_point start = Clock::now();
    Clock::time_point last = start;
    Clock::duration first{};
    Clock::duration longest{};
    int changes = 0;
    while (Viewable(display, window)) {
        std::this_thread::sleep_for(interval);
        const Rect now = OnScreen(display, window);
        bool changed = !SameRect(now, rect);
        if (changed) {
            rect = now;
            grab.emplace(display, rect);
        }
        grab->Take();
        const auto pixels = grab->Pixels();
        changed = changed || !std::equal(pixels.begin(), pixels.end(), before.begin(), before.end());
        if (!changed) continue;
        before = grab->Snapshot();
        const Clock::time_point at = Clock::now();
        if (changes == 0) first = at - start;
        longest = changes == 0 ? longest : std::max(longest, at - last);
        last = at;
        ++changes;
    }
    std::printf("watched %.0f ms: the first change after %.0f ms, then %d more, at most %.0f ms "
                "apart; the last %.0f ms before the window went\n",
                Ms(Clock::now() - start), Ms(first), std::max(changes - 1, 0), Ms(longest),
                Ms(Clock::now() - last));
    return 0;
}

}  // namespace
}  // namespace quill::bench

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: quillterm-bench-repaint WINDOW_ID [INTERVAL_MS]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "no display\n");
        return 1;
    }
    XSetErrorHandler(quill::bench::NoteError);
    const auto window = static_cast<Window>(std::strtoul(argv[1], nullptr, 0));
    const std::chrono::milliseconds interval(argc > 2 ? std::atoi(argv[2]) : 10);
    const int result = quill::bench::Watch(display, window, interval);
    XCloseDisplay(display);
    return result;
}
