#include "ui/terminal/link_pointer.h"

#include <QToolTip>

#include "core/search/url_finder.h"
#include "ui/terminal/terminal_view.h"

namespace quill {

LinkPointer::LinkPointer(TerminalView& view, const ScreenView& screen)
    : view_(view), screen_(screen) {}

void LinkPointer::Follow(QPoint at, bool ctrl) {
    at_ = at;
    ctrl_ = ctrl;
    inside_ = true;
    TextChanged();
}

void LinkPointer::Leave() {
    inside_ = false;
    TextChanged();
}

void LinkPointer::TextChanged() {
    Show(ctrl_ && inside_ ? LinkUnder(at_) : std::nullopt);
}

std::optional<ScreenLink> LinkPointer::LinkUnder(QPoint at) const {
    const TextPoint point = view_.TextPointAt(at.x(), at.y());
    return LinkAt(screen_, point.line, point.column);
}

void LinkPointer::Show(const std::optional<ScreenLink>& link) {
    const std::optional<SearchMatch> cells =
        link ? std::optional<SearchMatch>(link->cells) : std::nullopt;
    const bool changed = cells != view_.LinkUnderline();
    view_.SetLinkUnderline(cells);
    if (!link) {
        if (changed) {
            QToolTip::hideText();
            view_.unsetCursor();
        }
        return;
    }
    if (!changed) return;
    // A link Ctrl+click does not open says so, and keeps the arrow.
    const bool opens = ActionFor(link->target) != LinkAction::kNever;
    QString tip = QString::fromStdString(link->target);
    if (!opens) tip += QStringLiteral(" (not opened)");
    QToolTip::showText(view_.mapToGlobal(at_), tip, &view_);
    opens ? view_.setCursor(Qt::PointingHandCursor) : view_.unsetCursor();
}

}  // namespace quill
