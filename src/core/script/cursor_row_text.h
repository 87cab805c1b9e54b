#pragma once

#include <string>

#include "core/interfaces/screen_view.h"

namespace quill {

// The text on the cursor's row, from its first column up to the cursor: what
// a script started by hand counts as just arrived, so that a prompt already
// showing matches. Each cell gives its character as a code point.
std::u32string CursorRowText(const ScreenView& screen);

}  // namespace quill
