#pragma once

#include <string>

#include "core/engine/headless_terminal.h"

namespace quill {

// A fresh headless terminal whose state comes out in the replay tool's text
// format.
class ReplaySession : public HeadlessTerminal {
  public:
    // A display of the caller's shows what the window is asked.
    ReplaySession(bool wrap, bool showCodes, DisplaySink* display = nullptr,
                  ScreenGeometry geometry = {});

    std::string Render(bool withHistory) const;
};

}  // namespace quill
