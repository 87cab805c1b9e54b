#include "ui/app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <array>

#include "core/settings/host_history.h"
#include "ui/app/window_messages.h"
#include "ui/resources/accelerator_filter.h"
#include "ui/resources/command_ids.h"
#include "ui/resources/menu_mnemonics.h"
#include "ui/resources/menus.h"
#include "ui/terminal/key_events.h"
#include "ui/terminal/terminal_view.h"

namespace quill {

using namespace msg;

namespace {

constexpr int kPageRows = 23;
// The host submenu reads each history entry into a buffer of this size.
constexpr std::size_t kSubmenuHostBuffer = 50;
constexpr int kStartSize = 3000;
// Rows the maximum size allows before the window exists: the whole buffer.
constexpr int kRowsBeforeCreation = kBufferRows;
// Scroll-back lines per notch of a mouse wheel.
constexpr int kWheelLines = 3;
constexpr int kWheelNotch = 120;

constexpr char kSorryText[] =
    "This option has been disabled in this version\nbecause of too many bugs";

}  // namespace

MainWindow::MainWindow(WindowParts parts, WindowHooks hooks)
    : parts_(parts), hooks_(std::move(hooks)) {
    setWindowTitle(QStringLiteral("Session"));
    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const TerminalView::Colours colours{[this] { return parts_.settings.fgcolor; },
                                        [this] { return parts_.settings.bgcolor; }};
    view_ = new TerminalView(parts_.screen, parts_.fonts, colours, central);
    scrollBar_ = new QScrollBar(Qt::Vertical, central);
    scrollBar_->setTracking(false);
    scrollBar_->setContextMenuPolicy(Qt::NoContextMenu);
    scrollBar_->setFocusPolicy(Qt::NoFocus);
    scrollBar_->setSingleStep(1);
    scrollBar_->setPageStep(kPageRows);
    view_->SetScrollBar(scrollBar_);
    layout->addWidget(view_, 0, Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(scrollBar_);
    setCentralWidget(central);
    setFocusProxy(view_);

    const CommandHandler command = [this](int id) { Send(WM_COMMAND, MakeWParam(id, 0)); };
    menus_ = BuildMenuBar(*menuBar(), TelMenu(), command);
    InstallAccelerators(this, command);
    InstallShiftedMnemonics(*menuBar(), *this);

    view_->installEventFilter(this);
    scrollBar_->installEventFilter(this);
    menuBar()->installEventFilter(this);
    connect(scrollBar_, &QScrollBar::actionTriggered, this, &MainWindow::ScrollBarAction);
    connect(scrollBar_, &QScrollBar::sliderReleased, this, [this] {
        Send(WM_VSCROLL, MakeWParam(SB_THUMBPOSITION, scrollBar_->sliderPosition()));
    });
    connect(&timer_, &QTimer::timeout, this, [this] { Send(WM_TIMER, kTimerId); });
}

MainWindow::~MainWindow() = default;

void MainWindow::Send(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    MainWindowProc(message, wParam, lParam);
}

std::intptr_t MainWindow::MainWindowProc(unsigned message, std::uintptr_t wParam,
                                         std::intptr_t lParam) {
    const auto x = static_cast<int>(LowWord(static_cast<std::uintptr_t>(lParam)));
    const auto y = static_cast<int>(HighWord(static_cast<std::uintptr_t>(lParam)));
    switch (message) {
        case WM_CREATE:
            OnCreate();
            return 0;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case WM_ACTIVATE:
            OnActivate(LowWord(wParam));
            return 0;
        case WM_PAINT:
            return view_->DisplayPaint();
        case WM_CLOSE:
            DestroyWindow();
            return 0;
        case WM_GETMINMAXINFO:
            OnMinMaxInfo(*reinterpret_cast<MinMaxInfo*>(lParam));
            return 0;
        case WM_NCRBUTTONDOWN:
            if (!hooks_.chooseListedHost) return 0;
            if (const auto host = hooks_.chooseListedHost(this)) Launch(*host);
            return 0;
        case WM_KEYDOWN:
            view_->DisplayReturnToLive();
            return parts_.keyboard.KeyboardTranslateKey(
                static_cast<std::uint16_t>(LowWord(wParam)));
        case WM_CHAR:
            view_->DisplayReturnToLive();
            return parts_.keyboard.KeyboardSendChar(static_cast<std::uint16_t>(LowWord(wParam)));
        case WM_COMMAND:
            OnCommand(static_cast<int>(LowWord(wParam)));
            return 0;
        case WM_TIMER:
            OnTimer();
            return 0;
        case WM_VSCROLL:
            OnVScroll(LowWord(wParam), HighWord(wParam));
            return 0;
        case WM_MOUSEMOVE:
            return view_->SelectionDrag(x, y);
        case WM_LBUTTONDOWN:
            return view_->SelectionPress(x, y);
        case WM_LBUTTONUP:
            return view_->SelectionRelease();
        case WM_RBUTTONDOWN:
            PopupMenu(x, y);
            return 0;
        case WM_SOCKET:
            OnSocket(LowWord(static_cast<std::uintptr_t>(lParam)));
            return 0;
        default:
            return 0;
    }
}

void MainWindow::OnCreate() {
    scrollBar_->setRange(1, kLiveViewTop);
    scrollBar_->setValue(view_->ViewTop());
    setupFontHeight_ = parts_.fonts.CellHeight;
    if (hooks_.createSplash) {
        splash_ = hooks_.createSplash(this);
        if (splash_ == nullptr) QApplication::beep();
    }
    timer_.start(1000);
    parts_.screen.BlankScreenMemory();
    parts_.screen.caretVisible = true;
    created_ = true;
    MinMaxInfo info;
    OnMinMaxInfo(info);
    setMaximumSize(info.maxSize);
    resize(kStartSize, kStartSize);  // the maximum size cuts it to 80 x 24 cells
    if (parts_.settings.MaximizeOnStart) setWindowState(windowState() | Qt::WindowMaximized);
}

// The largest window shows exactly 80 columns and 24 rows of cells.
void MainWindow::OnMinMaxInfo(MinMaxInfo& info) const {
    const int rows = created_ ? kScreenRows : kRowsBeforeCreation;
    info.maxSize = QSize(kColumns * parts_.fonts.CellWidth + scrollBar_->sizeHint().width(),
                         rows * parts_.fonts.CellHeight + menuBar()->sizeHint().height());
}

void MainWindow::OnDestroy() {
    timer_.stop();
    parts_.transport.CloseConnection();
    hooks_.postQuit(0);
}

void MainWindow::DestroyWindow() {
    if (destroyed_) return;
    destroyed_ = true;
    Send(WM_DESTROY);
    DestroySplash();
    hide();
}

void MainWindow::OnActivate(unsigned state) {
    if (state == WA_INACTIVE) {
        view_->CaretOff();
        return;
    }
    menus_.SetChecked(cmd::kWrap, parts_.screen.wrap);
    view_->CaretOn();
}

void MainWindow::OnCommand(int id) {
    switch (id) {
        case cmd::kNewConnection:
            Launch(std::nullopt);
            return;
        case cmd::kPrintScreen:
            if (hooks_.printScreen) {
                hooks_.printScreen(this, parts_.screen.Memory().data(), view_->ViewTop(),
                                   kScreenRows);
            }
            return;
        case cmd::kTogglePrintCapture:
            hooks_.messageBox(this, QString::fromLatin1(kSorryText), QStringLiteral("Sorry"),
                              QMessageBox::NoIcon);
            return;
        case cmd::kExit:
            hooks_.postQuit(0);
            DestroyWindow();
            return;
        case cmd::kCopy:
            view_->CopySelection();
            return;
        case cmd::kPaste:
            view_->PasteClipboard([this](std::uint16_t c) { parts_.keyboard.KeyboardSendChar(c); });
            return;
        case cmd::kHelpIndex:
        case cmd::kUsingHelp:
            if (hooks_.help) hooks_.help(this, id);
            return;
        case cmd::kAbout:
            if (hooks_.about) hooks_.about(this);
            return;
        case cmd::kShowCodes:
            InvertOption(id, parts_.inbound.showCodes);
            return;
        case cmd::kWrap:
            InvertOption(id, parts_.screen.wrap);
            return;
        case cmd::kSetupDialog:
            if (hooks_.setupDialog) {
                hooks_.setupDialog(this,
                                   SetupTarget{parts_.settings, parts_.screen.wrap, parts_.store,
                                               parts_.fonts.CellHeight, setupFontHeight_,
                                               [this] { view_->InvalidateAll(); }});
            }
            return;
        default:
            if (id >= cmd::kConnectToFirst && id <= cmd::kConnectToLast) {
                LaunchHistoryHost(id - (cmd::kConnectToFirst - 1));
            }
            return;
    }
}

// The option flips first, then its check mark follows it.
void MainWindow::InvertOption(int id, bool& option) {
    option = !option;
    menus_.SetChecked(id, option);
}

void MainWindow::LaunchHistoryHost(int number) {
    std::string host;
    parts_.store.ReadSetting(kHostsSection, HostKey(number), "", host, kHostBufferSize);
    Launch(host);
}

void MainWindow::Launch(const std::optional<std::string>& host) {
    if (hooks_.launchInstance) hooks_.launchInstance(host);
}

void MainWindow::OnVScroll(unsigned code, unsigned position) {
    const int top = view_->ViewTop();
    switch (code) {
        case SB_LINEUP:
            view_->DisplaySetViewTop(top - 1);
            return;
        case SB_LINEDOWN:
            view_->DisplaySetViewTop(top + 1);
            return;
        case SB_PAGEUP:
            view_->DisplaySetViewTop(top - kPageRows);
            return;
        case SB_PAGEDOWN:
            view_->DisplaySetViewTop(top + kPageRows);
            return;
        case SB_THUMBPOSITION:
            view_->DisplaySetViewTop(static_cast<int>(position));
            return;
        default:
            return;
    }
}

void MainWindow::OnSocket(unsigned event) {
    if (event == FD_READ) {
        ReadSocket();
    } else if (event == FD_CLOSE) {
        if (!parts_.settings.autoexit) {
            hooks_.messageBox(this, QStringLiteral("Connection closed"),
                              QStringLiteral("Quillterm"), QMessageBox::NoIcon);
        }
        DestroyWindow();
    }
}

// Hands what has arrived to the inbound stream in chunks of at most 100
// bytes. After one display frame of work the window lets other events in (a
// key typed during a long burst reaches the host at once); the transport then
// offers the rest again.
void MainWindow::ReadSocket() {
    std::array<std::uint8_t, kReceiveChunk + 1> buffer{};
    QElapsedTimer slice;
    slice.start();
    int count = 0;
    while (slice.elapsed() < kReadSliceMs &&
           (count = parts_.transport.ReceiveBytes(buffer.data(), kReceiveChunk)) > 0) {
        buffer[static_cast<std::size_t>(count)] = 0;
        parts_.inbound.ProcessInbound(buffer.data(), count);
    }
}

void MainWindow::OnTimer() {
    if (--splashCountdown_ == 0) DestroySplash();
}

// The splash ignores close requests like any template dialog; it goes by
// being deleted.
void MainWindow::DestroySplash() {
    delete splash_;
}

void MainWindow::PopupMenu(int x, int y) {
    std::array<std::string, kHostHistorySize> hosts;
    for (int n = 1; n <= kHostHistorySize; ++n) {
        parts_.store.ReadSetting(kHostsSection, HostKey(n), "", hosts[n - 1], kSubmenuHostBuffer);
    }
    int chosen = 0;
    QMenu* menu = BuildPopupMenu(this, hosts, [&chosen](int id) { chosen = id; });
    hooks_.trackPopupMenu(*menu, view_->mapToGlobal(QPoint(x, y)));
    delete menu;
    // As with a menu choice, the command arrives after the menu has closed.
    if (chosen != 0) Send(WM_COMMAND, MakeWParam(chosen, 0));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    Send(WM_CLOSE);
    event->accept();
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && !destroyed_) {
        Send(WM_ACTIVATE, isActiveWindow() ? WA_ACTIVE : WA_INACTIVE);
    }
    QMainWindow::changeEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_) return ViewEvent(event);
    if (watched == scrollBar_ && ScrollBarEvent(event)) return true;
    // A right click on the window's frame parts (menu bar, scroll bar).
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        Send(WM_NCRBUTTONDOWN);
        return true;
    }
    return false;
}

bool MainWindow::ViewEvent(QEvent* event) {
    switch (event->type()) {
        case QEvent::Paint:
            view_->SetUpdateRect(static_cast<QPaintEvent*>(event)->rect());
            Send(WM_PAINT);
            return true;
        case QEvent::KeyPress: {
            auto& key = static_cast<QKeyEvent&>(*event);
            if (key.modifiers() & Qt::AltModifier) return false;
            KeyPress(key);
            return true;
        }
        // The window class asks for no double clicks: a second click is a press.
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto& mouse = static_cast<QMouseEvent&>(*event);
            if (mouse.button() == Qt::RightButton) return MouseMessage(WM_RBUTTONDOWN, mouse);
            return mouse.button() == Qt::LeftButton && MouseMessage(WM_LBUTTONDOWN, mouse);
        }
        case QEvent::MouseMove:
            return MouseMessage(WM_MOUSEMOVE, static_cast<QMouseEvent&>(*event));
        case QEvent::MouseButtonRelease:
            return static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
                   MouseMessage(WM_LBUTTONUP, static_cast<QMouseEvent&>(*event));
        case QEvent::Wheel:
            return ScrollBarEvent(event);
        default:
            return false;
    }
}

void MainWindow::KeyPress(const QKeyEvent& event) {
    const KeyMessages messages = TranslateKeyPress(event.key(), event.modifiers(), event.text());
    if (messages.keyDown) Send(WM_KEYDOWN, *messages.keyDown);
    if (messages.character) Send(WM_CHAR, *messages.character);
}

// Moves outside the client area are not the window's; a release is always
// seen, so the selection never keeps growing after the button is up.
bool MainWindow::MouseMessage(unsigned message, const QMouseEvent& event) {
    const QPoint p = event.position().toPoint();
    if (message == WM_MOUSEMOVE && !view_->rect().contains(p)) return true;
    Send(message, 0, MakeLParam(std::max(p.x(), 0), std::max(p.y(), 0)));
    return true;
}

bool MainWindow::ScrollBarEvent(QEvent* event) {
    if (event->type() != QEvent::Wheel) return false;
    const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
    const int lines = kWheelLines * std::abs(delta) / kWheelNotch;
    for (int i = 0; i < std::max(lines, 1) && delta != 0; ++i) {
        Send(WM_VSCROLL, delta > 0 ? SB_LINEUP : SB_LINEDOWN);
    }
    return true;
}

// The scroll bar's own moves become WM_VSCROLL codes; for the codes the
// window ignores (top, bottom) the thumb goes back to the view top.
void MainWindow::ScrollBarAction(int action) {
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            Send(WM_VSCROLL, SB_LINEUP);
            return;
        case QAbstractSlider::SliderSingleStepAdd:
            Send(WM_VSCROLL, SB_LINEDOWN);
            return;
        case QAbstractSlider::SliderPageStepSub:
            Send(WM_VSCROLL, SB_PAGEUP);
            return;
        case QAbstractSlider::SliderPageStepAdd:
            Send(WM_VSCROLL, SB_PAGEDOWN);
            return;
        case QAbstractSlider::SliderMove:
            return;  // thumb tracking
        default:
            scrollBar_->setSliderPosition(view_->ViewTop());
            return;
    }
}

}  // namespace quill
