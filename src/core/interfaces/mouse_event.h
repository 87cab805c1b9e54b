#pragma once

#include <cstdint>

#include "core/interfaces/key.h"

namespace quill {

enum class MouseButton : std::uint8_t { kLeft, kMiddle, kRight, kNone, kWheelUp, kWheelDown };
enum class MouseAction : std::uint8_t { kPress, kRelease, kMove };

// What the mouse did, over which cell of the screen (0-based).
struct MouseEvent {
    MouseAction action;
    MouseButton button;  // for a move, the button held (kNone: no button)
    int column;
    int row;
    KeyModifiers modifiers;
};

}  // namespace quill
