// The window's Qt events, each turned into the handler of its message:
// close, activation, keys, input methods, mouse, wheel and scroll bar.
#include <QCloseEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyleHints>
#include <QUrl>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>
#include <optional>

#include "core/search/url_finder.h"
#include "ui/app/main_window.h"
#include "ui/app/telnet_commands.h"
#include "ui/terminal/key_events.h"
#include "ui/terminal/link_pointer.h"
#include "ui/terminal/terminal_view.h"

namespace quill {

namespace {

// Scroll-back lines per notch of a mouse wheel.
constexpr int kWheelLines = 3;
constexpr int kWheelNotch = 120;

// The buttons the host hears of.
std::optional<MouseButton> HostButton(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return MouseButton::kLeft;
        case Qt::MiddleButton:
            return MouseButton::kMiddle;
        case Qt::RightButton:
            return MouseButton::kRight;
        default:
            return std::nullopt;
    }
}

// The button a move reports as held: the first one down.
MouseButton HeldButton(Qt::MouseButtons buttons) {
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::MiddleButton, Qt::RightButton}) {
        if (buttons & button) return *HostButton(button);
    }
    return MouseButton::kNone;
}

}  // namespace

void MainWindow::closeEvent(QCloseEvent* event) {
    OnClose();
    event->accept();
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && !destroyed_) OnActivate(isActiveWindow());
    QMainWindow::changeEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_) return ViewEvent(event);
    if (watched == scrollBar_ && WheelEvent(event)) return true;
    // A right click on the window's frame parts (menu bar, scroll bar).
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        OnNonClientRightButtonDown();
        return true;
    }
    return false;
}

bool MainWindow::ViewEvent(QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress: {
            // Alt keys that reach the view are no accelerator or menu letter:
            // only the extended terminal gives them a meaning.
            auto& key = static_cast<QKeyEvent&>(*event);
            const bool terminalKey =
                !(key.modifiers() & Qt::AltModifier) || parts_.settings.options.Extended();
            if (terminalKey) KeyEvent(key);
            // After the key, which may have brought the view back to the live screen.
            CtrlKeyEvent(key);
            return terminalKey;
        }
        case QEvent::KeyRelease:
            CtrlKeyEvent(static_cast<QKeyEvent&>(*event));
            return false;
        case QEvent::Leave:
            links_->Leave();
            return false;
        case QEvent::InputMethod: {
            const auto& input = static_cast<QInputMethodEvent&>(*event);
            OnInputMethod(input.commitString(), input.preeditString());
            return true;
        }
        // A double click is a press that marks a word (ClicksInARow).
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease:
            return MouseEvent(static_cast<QMouseEvent&>(*event));
        case QEvent::Wheel:
            return HostWheelEvent(event) || WheelEvent(event);
        default:
            return false;
    }
}

// The terminal takes the key whole: its sequence, Alt as Meta or its
// character.
void MainWindow::KeyEvent(const QKeyEvent& event) {
    if (PageScrollBack(event)) return;
    if (IsBreakKey(event)) {
        OnCommand(CommandId::kSendBreak);
        return;
    }
    if (const auto command = ClipboardKeyCommand(event.key(), event.modifiers())) {
        OnCommand(*command);
        return;
    }
    OnKey(TranslateKeyPress(event.key(), event.modifiers(), event.text(), NumLockOn(event)));
}

// In the extended and the BBS terminal Shift+Page Up and Shift+Page Down
// page the scroll-back: they send nothing and leave the view where they put it.
bool MainWindow::PageScrollBack(const QKeyEvent& event) {
    if (parts_.settings.options.Plain() || !(event.modifiers() & Qt::ShiftModifier)) {
        return false;
    }
    if (event.key() == Qt::Key_PageUp) {
        OnScroll(ScrollAction::kPageUp);
    } else if (event.key() == Qt::Key_PageDown) {
        OnScroll(ScrollAction::kPageDown);
    } else {
        return false;
    }
    return true;
}

// A drag that leaves the client area (onto the scroll bar, past the last
// row) marks up to the grid's edge; a release is always seen, so the
// selection never keeps growing after the button is up.
bool MainWindow::MouseEvent(const QMouseEvent& event) {
    const QPoint at = event.position().toPoint();
    if (event.type() == QEvent::MouseMove) {
        links_->Follow(at, (event.modifiers() & Qt::ControlModifier) != 0);
    }
    if (HostMouseEvent(event) || LinkClick(event)) return true;
    switch (event.type()) {
        case QEvent::MouseMove:
            OnMouseMove(at);
            return true;
        case QEvent::MouseButtonRelease:
            if (event.button() != Qt::LeftButton) return false;
            OnLeftButtonUp();
            return true;
        default:
            break;
    }
    if (event.button() == Qt::RightButton) {
        OnRightButtonDown(at);
        return true;
    }
    if (event.button() == Qt::MiddleButton) {
        OnMiddleButtonDown();
        return true;
    }
    if (event.button() != Qt::LeftButton) return false;
    OnLeftButtonDown(at, event.modifiers(), ClicksInARow(event));
    return true;
}

// Ctrl pressed or let go over the view: the link under the pointer shows or
// goes, and moves without a button are followed while Ctrl is held.
void MainWindow::CtrlKeyEvent(const QKeyEvent& event) {
    if (event.key() != Qt::Key_Control) return;
    links_->Follow(view_->mapFromGlobal(QCursor::pos()), event.type() == QEvent::KeyPress);
    FollowPointer();
}

// A host that asks for every motion (?1003) gets moves without a button
// too, and Ctrl shows the links under the pointer: the view is told of
// moves while the pointer is over it.
void MainWindow::FollowPointer() {
    view_->setMouseTracking(links_->CtrlHeld() ||
                            parts_.engine.MouseTracksAllMotion());
}

// A left click with Ctrl on a link opens it (a double click opens it once)
// instead of selecting; one that reached no link selects as ever. While the
// host asks for the mouse the click is the host's, Ctrl or not, as in xterm;
// Shift takes it back, so Ctrl+Shift+click opens the link.
bool MainWindow::LinkClick(const QMouseEvent& event) {
    const bool press = event.type() == QEvent::MouseButtonPress;
    if ((!press && event.type() != QEvent::MouseButtonDblClick) ||
        event.button() != Qt::LeftButton || !(event.modifiers() & Qt::ControlModifier)) {
        return false;
    }
    const std::optional<ScreenLink> link = links_->LinkUnder(event.position().toPoint());
    if (!link) return false;
    if (press) OpenLink(link->target);
    return true;
}

// The desktop opens web and mail links; telnet links start a new session as
// the host list does; anything else is never opened.
void MainWindow::OpenLink(const std::string& target) {
    switch (ActionFor(target)) {
        case LinkAction::kDesktop:
            QDesktopServices::openUrl(QUrl(QString::fromStdString(target)));
            return;
        case LinkAction::kNewSession:
            Launch(target);
            return;
        case LinkAction::kNever:
            return;
    }
}

// Qt tells a double click; a press soon after one, near it, is a third.
int MainWindow::ClicksInARow(const QMouseEvent& event) {
    const QPoint at = event.position().toPoint();
    if (event.type() == QEvent::MouseButtonDblClick) {
        doubleClickTime_ = event.timestamp();
        doubleClickAt_ = at;
        return 2;
    }
    const bool third =
        doubleClickTime_ &&
        event.timestamp() - *doubleClickTime_ <=
            static_cast<quint64>(QGuiApplication::styleHints()->mouseDoubleClickInterval()) &&
        (at - doubleClickAt_).manhattanLength() <=
            QGuiApplication::styleHints()->startDragDistance();
    doubleClickTime_.reset();
    return third ? 3 : 1;
}

// While the host asks for the mouse, a press without Shift goes to it, and
// so does all that follows until every button is up; moves without a button
// go to it too. With Shift the mouse selects, pastes and opens the menu here.
bool MainWindow::HostMouseEvent(const QMouseEvent& event) {
    const auto button = HostButton(event.button());
    switch (event.type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (!button || !parts_.engine.MouseReporting() ||
                (event.modifiers() & Qt::ShiftModifier)) {
                return mouseToHost_;
            }
            mouseToHost_ = true;
            view_->DisplayReturnToLive();
            ReportMouse(MouseAction::kPress, *button, event.position(), event.modifiers());
            return true;
        case QEvent::MouseMove:
            if (!mouseToHost_ &&
                (event.buttons() != Qt::NoButton || !parts_.engine.MouseReporting())) {
                return false;
            }
            ReportMouse(MouseAction::kMove, HeldButton(event.buttons()), event.position(),
                        event.modifiers());
            return true;
        case QEvent::MouseButtonRelease:
            if (!mouseToHost_) return false;
            if (button) {
                ReportMouse(MouseAction::kRelease, *button, event.position(), event.modifiers());
            }
            mouseToHost_ = event.buttons() != Qt::NoButton;
            return true;
        default:
            return false;
    }
}

// The wheel goes to the host as presses of buttons 4 and 5, one a notch.
bool MainWindow::HostWheelEvent(QEvent* event) {
    if (event->type() != QEvent::Wheel || !parts_.engine.MouseReporting()) return false;
    const auto& wheel = static_cast<QWheelEvent&>(*event);
    const int delta = wheel.angleDelta().y();
    const MouseButton button = delta > 0 ? MouseButton::kWheelUp : MouseButton::kWheelDown;
    for (int i = 0; i < std::max(std::abs(delta) / kWheelNotch, 1) && delta != 0; ++i) {
        ReportMouse(MouseAction::kPress, button, wheel.position(), wheel.modifiers());
    }
    return true;
}

// The cell under the pointer, held within the screen.
void MainWindow::ReportMouse(MouseAction action, MouseButton button, QPointF at,
                             Qt::KeyboardModifiers modifiers) {
    const ScreenGeometry& grid = parts_.engine.View().Geometry();
    const int column =
        std::clamp(static_cast<int>(at.x()) / parts_.fonts.CellWidth, 0, grid.columns - 1);
    const int row =
        std::clamp(static_cast<int>(at.y()) / parts_.fonts.CellHeight, 0, grid.screenRows - 1);
    parts_.engine.ReportMouse({action, button, column, row, HeldModifiers(modifiers)});
}

bool MainWindow::WheelEvent(QEvent* event) {
    if (event->type() != QEvent::Wheel) return false;
    const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
    const int lines = kWheelLines * std::abs(delta) / kWheelNotch;
    for (int i = 0; i < std::max(lines, 1) && delta != 0; ++i) {
        OnScroll(delta > 0 ? ScrollAction::kLineUp : ScrollAction::kLineDown);
    }
    return true;
}

// The scroll bar's own moves become scroll actions; for the ones the window
// ignores (top, bottom) the thumb goes back to the view top.
void MainWindow::ScrollBarAction(int action) {
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            OnScroll(ScrollAction::kLineUp);
            return;
        case QAbstractSlider::SliderSingleStepAdd:
            OnScroll(ScrollAction::kLineDown);
            return;
        case QAbstractSlider::SliderPageStepSub:
            OnScroll(ScrollAction::kPageUp);
            return;
        case QAbstractSlider::SliderPageStepAdd:
            OnScroll(ScrollAction::kPageDown);
            return;
        case QAbstractSlider::SliderMove:
            return;  // thumb tracking
        default:
            scrollBar_->setSliderPosition(view_->ViewTop());
            return;
    }
}

}  // namespace quill
