#pragma once

#include <cstdint>

// The window messages the main window handles, with the numbers the program
// has always used; Qt events are translated into them.
namespace quill::msg {

inline constexpr unsigned WM_CREATE = 1;
inline constexpr unsigned WM_DESTROY = 2;
inline constexpr unsigned WM_ACTIVATE = 6;
inline constexpr unsigned WM_PAINT = 15;
inline constexpr unsigned WM_CLOSE = 16;
inline constexpr unsigned WM_GETMINMAXINFO = 36;
inline constexpr unsigned WM_NCRBUTTONDOWN = 164;
inline constexpr unsigned WM_KEYDOWN = 256;
inline constexpr unsigned WM_CHAR = 258;
inline constexpr unsigned WM_COMMAND = 273;
inline constexpr unsigned WM_TIMER = 275;
inline constexpr unsigned WM_VSCROLL = 277;
inline constexpr unsigned WM_MOUSEMOVE = 512;
inline constexpr unsigned WM_LBUTTONDOWN = 513;
inline constexpr unsigned WM_LBUTTONUP = 514;
inline constexpr unsigned WM_RBUTTONDOWN = 516;
inline constexpr unsigned WM_SOCKET = 1624;  // WM_USER + 600

// WM_VSCROLL codes.
inline constexpr unsigned SB_LINEUP = 0;
inline constexpr unsigned SB_LINEDOWN = 1;
inline constexpr unsigned SB_PAGEUP = 2;
inline constexpr unsigned SB_PAGEDOWN = 3;
inline constexpr unsigned SB_THUMBPOSITION = 4;
inline constexpr unsigned SB_THUMBTRACK = 5;

// WM_ACTIVATE state.
inline constexpr unsigned WA_INACTIVE = 0;
inline constexpr unsigned WA_ACTIVE = 1;

// The splash timer.
inline constexpr unsigned kTimerId = 1111;

constexpr std::uintptr_t MakeWParam(unsigned low, unsigned high) {
    return (low & 0xFFFFu) | (static_cast<std::uintptr_t>(high & 0xFFFFu) << 16);
}
constexpr std::intptr_t MakeLParam(int low, int high) {
    return static_cast<std::intptr_t>((static_cast<unsigned>(low) & 0xFFFFu) |
                                      ((static_cast<unsigned>(high) & 0xFFFFu) << 16));
}
constexpr unsigned LowWord(std::uintptr_t v) {
    return static_cast<unsigned>(v & 0xFFFFu);
}
constexpr unsigned HighWord(std::uintptr_t v) {
    return static_cast<unsigned>((v >> 16) & 0xFFFFu);
}

}  // namespace quill::msg
