#pragma once

#include <Qt>

namespace quill {

// A dialog's window: a title bar with a close button and nothing else, so
// that no window manager adds minimise or maximise buttons.
inline constexpr Qt::WindowFlags kDialogWindowFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowCloseButtonHint;

}  // namespace quill
