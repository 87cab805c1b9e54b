#pragma once

#include <QPoint>
#include <optional>

#include "core/engine/screen_links.h"

namespace quill {

class TerminalView;

// The link under the pointer while Ctrl is held: the view underlines it,
// its target shows in a tooltip and the pointer becomes a hand (a link of a
// scheme that is never opened says so in the tooltip and keeps the arrow). The window
// tells it where the pointer is and whether Ctrl is held, and asks it for
// the link a Ctrl+click opens.
class LinkPointer {
  public:
    LinkPointer(TerminalView& view, const ScreenView& screen);

    // The pointer is over the view at `at` (its pixels), with Ctrl held or not.
    void Follow(QPoint at, bool ctrl);
    // The pointer left the view.
    void Leave();
    // The text may have changed under the pointer: it is looked at again.
    void TextChanged();
    bool CtrlHeld() const { return ctrl_; }
    // The link at a point of the view.
    std::optional<ScreenLink> LinkUnder(QPoint at) const;

  private:
    void Show(const std::optional<ScreenLink>& link);

    TerminalView& view_;
    const ScreenView& screen_;
    QPoint at_;
    bool ctrl_ = false;
    bool inside_ = false;
};

}  // namespace quill
