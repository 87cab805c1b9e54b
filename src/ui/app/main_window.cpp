#include "ui/app/main_window.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <algorithm>

#include "core/settings/host_history.h"
#include "core/telnet/telnet_codes.h"
#include "ui/app/telnet_commands.h"
#include "ui/find/find_controller.h"
#include "ui/resources/accelerator_filter.h"
#include "ui/resources/menu_mnemonics.h"
#include "ui/resources/menus.h"
#include "ui/terminal/link_pointer.h"
#include "ui/terminal/terminal_view.h"

namespace quill {

namespace {

// The plain terminal's view keeps its size in the window's top left corner;
// the extended terminal's fills the client area.
constexpr Qt::Alignment kPlainViewAlignment = Qt::AlignLeft | Qt::AlignTop;
// The host submenu reads each history entry into a buffer of this size.
constexpr std::size_t kSubmenuHostBuffer = 50;
constexpr int kStartSize = 3000;
// Rows the maximum size allows before the window exists: the whole buffer.
constexpr int kRowsBeforeCreation = kBufferRows;
constexpr int kTimerPeriodMs = 1000;

constexpr char kSorryText[] =
    "This option has been disabled in this version\nbecause of too many bugs";

}  // namespace

MainWindow::MainWindow(WindowParts parts, WindowHooks hooks)
    : parts_(parts),
      hooks_(std::move(hooks)),
      paste_(MakePasteSink()),
      logger_(*this, SessionLoggerHooks{hooks_.messageBox, hooks_.chooseLogFile, hooks_.clock,
                                        [this](bool logging) {
                                            menus_.SetChecked(CommandId::kLogSession, logging);
                                        }}),
      scripts_(*this, parts_.engine, parts_.transport, parts_.settings.options,
               ScriptSessionHooks{
                   hooks_.messageBox, hooks_.chooseScriptFile, hooks_.clock,
                   [this](bool running) { menus_.SetChecked(CommandId::kRunScript, running); },
                   hooks_.keyring, [this] { return parts_.target.Tls; }}),
      zmodem_(*this, parts_.engine, parts_.store, hooks_.messageBox, hooks_.zmodem) {
    setWindowTitle(QStringLiteral("Session"));
    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const TerminalView::Colours colours{[this] { return parts_.settings.fgcolor; },
                                        [this] { return parts_.settings.bgcolor; },
                                        parts_.settings.boldbright};
    view_ = new TerminalView(parts_.engine, parts_.fonts, colours, hooks_.clock, central);
    scrollBar_ = new QScrollBar(Qt::Vertical, central);
    scrollBar_->setTracking(false);
    scrollBar_->setContextMenuPolicy(Qt::NoContextMenu);
    scrollBar_->setFocusPolicy(Qt::NoFocus);
    scrollBar_->setSingleStep(1);
    view_->SetScrollBar(scrollBar_);
    layout->addWidget(view_, 0, kPlainViewAlignment);
    layout->addWidget(scrollBar_);
    setCentralWidget(central);
    setFocusProxy(view_);
    find_ = new FindController(central, parts_.engine.View(), *view_,
                               [this](int top) { OnScroll(ScrollAction::kThumbPosition, top); });
    links_ = std::make_unique<LinkPointer>(*view_, parts_.engine.View());
    connect(view_, &TerminalView::ScreenChanged, this, [this] { links_->TextChanged(); });

    const CommandHandler command = [this](CommandId id) { OnCommand(id); };
    menus_ = BuildMenuBar(*menuBar(), TelMenu(), command);
    InstallAccelerators(this, command);
    InstallShiftedMnemonics(*menuBar(), *this);

    view_->installEventFilter(this);
    scrollBar_->installEventFilter(this);
    menuBar()->installEventFilter(this);
    connect(scrollBar_, &QScrollBar::actionTriggered, this, &MainWindow::ScrollBarAction);
    connect(scrollBar_, &QScrollBar::sliderReleased, this,
            [this] { OnScroll(ScrollAction::kThumbPosition, scrollBar_->sliderPosition()); });
    connect(&timer_, &QTimer::timeout, this, &MainWindow::OnTimer);
    // After the read that switched the columns, not inside it.
    connect(view_, &TerminalView::GridWidthChanged, this, &MainWindow::FitGridWidth,
            Qt::QueuedConnection);
}

MainWindow::~MainWindow() = default;

void MainWindow::OnCreate() {
    ShowHistoryDepth();
    scrollBar_->setValue(view_->ViewTop());
    setupFontHeight_ = parts_.fonts.CellHeight;
    if (hooks_.createSplash) {
        splash_ = hooks_.createSplash(this);
        if (splash_ == nullptr) QApplication::beep();
    }
    timer_.start(kTimerPeriodMs);
    parts_.engine.BlankScreen();
    view_->SetCaretFollows(true);
    ShowOptionMarks();
    created_ = true;
    setMaximumSize(OnGetMinMaxInfo());
    resize(kStartSize, kStartSize);  // the maximum size cuts it to 80 x 24 cells
    FitOnScreen();
    if (parts_.settings.options.Extended()) FollowWindow();
    if (parts_.settings.MaximizeOnStart) setWindowState(windowState() | Qt::WindowMaximized);
}

void MainWindow::ApplyTerminalMode() {
    if (parts_.settings.options.Extended()) {
        FollowWindow();
    } else {
        ReturnToPlainSize();
    }
}

// The extended terminal's window has no largest size; its grid starts from
// the window's size as it is.
void MainWindow::FollowWindow() {
    centralWidget()->layout()->setAlignment(view_, Qt::Alignment());
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    FollowClientArea();
}

// Back to a terminal of fixed size: the window as it opened, the terminal
// 80 x 24, or 80 x 25 for the BBS terminal.
void MainWindow::ReturnToPlainSize() {
    centralWidget()->layout()->setAlignment(view_, kPlainViewAlignment);
    setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
    setMaximumSize(OnGetMinMaxInfo());
    resize(maximumSize());
    FitOnScreen();
    ResizeGrid(kColumns, FixedRows());
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FollowClientArea();
}

// The whole cells the client area holds beside the scroll bar, as the plain
// terminal's largest size is measured.
void MainWindow::FollowClientArea() {
    if (!created_ || !parts_.settings.options.Extended()) return;
    const int width = size().width() - scrollBar_->sizeHint().width();
    const int height = size().height() - menuBar()->sizeHint().height();
    ResizeGrid(width / parts_.fonts.CellWidth, height / parts_.fonts.CellHeight);
}

// The host switched the columns: the window takes the grid's width and keeps
// its height. A screen too narrow for it cuts the window, and the grid then
// follows the window as after any resize.
void MainWindow::FitGridWidth() {
    if (!parts_.settings.options.Extended()) return;
    const int columns = parts_.engine.View().Geometry().columns;
    resize(columns * parts_.fonts.CellWidth + scrollBar_->sizeHint().width(), size().height());
    FitOnScreen();
}

// A grid of another size shows from the live screen down, with the scroll bar
// over its history.
void MainWindow::ResizeGrid(int columns, int rows) {
    const ScreenGeometry before = parts_.engine.View().Geometry();
    parts_.engine.Resize(columns, rows);
    if (parts_.engine.View().Geometry() == before) return;
    view_->DisplayReturnToLive();
    ShowHistoryDepth();
}

// The plain terminal's scroll bar runs from buffer row 1 whatever its history
// holds; the extended terminal's from the oldest history row in use. Both end
// at the live screen.
void MainWindow::ShowHistoryDepth() {
    const ScreenView& screen = parts_.engine.View();
    const int live = screen.FirstScreenRow();
    const int oldest = parts_.settings.options.Plain() ? 1 : live - screen.HistoryDepth();
    scrollBar_->setRange(oldest, live);
    scrollBar_->setPageStep(PageRows());
}

// A page is the screen's rows but one.
int MainWindow::PageRows() const {
    return parts_.engine.View().Geometry().screenRows - 1;
}

// A large font never makes the window larger than the screen's free area;
// the frame counts once the window system has put one round it.
void MainWindow::FitOnScreen() {
    const QSize frame = frameGeometry().size() - size();
    resize(size().boundedTo(screen()->availableGeometry().size() - frame));
}

// The rows of a terminal that does not follow the window: the PC's 25 for
// the BBS terminal, 24 for the plain one.
int MainWindow::FixedRows() const {
    return parts_.settings.options.Bbs() ? Terminal::kPcScreenRows : kScreenRows;
}

// The plain terminal's largest window shows exactly 80 columns and 24 rows of
// cells, the BBS terminal's 80 x 25.
QSize MainWindow::OnGetMinMaxInfo() const {
    const int rows = created_ ? FixedRows() : kRowsBeforeCreation;
    return {kColumns * parts_.fonts.CellWidth + scrollBar_->sizeHint().width(),
            rows * parts_.fonts.CellHeight + menuBar()->sizeHint().height()};
}

void MainWindow::OnDestroy() {
    timer_.stop();
    paste_.Clear();  // what is queued still goes out; the rest of a paste does not
    logger_.Stop();
    scripts_.Stop();
    parts_.transport.CloseConnection();
    hooks_.postQuit(0);
}

void MainWindow::OnClose() {
    DestroyWindow();
}

void MainWindow::DestroyWindow() {
    if (destroyed_) return;
    destroyed_ = true;
    OnDestroy();
    DestroySplash();
    hide();
}

void MainWindow::OnActivate(bool active) {
    if (!active) {
        view_->CaretOff();
        return;
    }
    ShowOptionMarks();
    view_->CaretOn();
}

// The option items carry their box from the start, checked exactly when the
// option is on; Setup may have changed wrap since they were last shown.
void MainWindow::ShowOptionMarks() {
    const UserOptions& options = parts_.settings.options;
    menus_.SetChecked(CommandId::kShowCodes, options.ShowCodes());
    menus_.SetChecked(CommandId::kWrap, options.Wrap());
    menus_.SetChecked(CommandId::kExtendedTerminal, options.Extended());
    menus_.SetChecked(CommandId::kBbsTerminal, options.Bbs());
}

void MainWindow::OnNonClientRightButtonDown() {
    if (!hooks_.chooseListedHost) return;
    if (const auto host = hooks_.chooseListedHost(this)) Launch(*host);
}

// A key returns a scrolled-back view to live when it gives a character or
// has a sequence of its own, and so does a key pressed without Alt, but
// Shift or Ctrl alone in the extended terminal, so that Shift+Page Up pages
// on from there. The view goes live before the key is sent, so that a local
// echo paints on the live screen. A press the terminal has no name for
// (Caps Lock, Super) does nothing.
// While a transfer runs the keyboard would only spoil it.
bool MainWindow::OnKey(const KeyPress& press) {
    if ((!press.key && !press.character) || zmodem_.Running()) return false;
    if (KeyReturnsToLive(press)) view_->DisplayReturnToLive();
    if (paste_.Busy()) {
        paste_.Type({TypedKey::Path::kKey, 0, press});
        return false;
    }
    return parts_.engine.Press(press);
}

bool MainWindow::KeyReturnsToLive(const KeyPress& press) const {
    if (press.character) return true;
    if (!press.key || (press.modifiers.alt && *press.key == Key::kCharacterOnly)) return false;
    const bool modifierAlone = press.key == Key::kShift || press.key == Key::kControl;
    return !(modifierAlone && !parts_.settings.options.Plain());
}

bool MainWindow::OnCharacter(char32_t character) {
    if (zmodem_.Running()) return false;
    view_->DisplayReturnToLive();
    if (paste_.Busy()) {
        paste_.Type({TypedKey::Path::kCharacter, character});
        return false;
    }
    return parts_.engine.Character(character);
}

void MainWindow::OnInputMethod(const QString& commit, const QString& preedit) {
    view_->SetPreedit(preedit);
    for (const char32_t character : commit.toUcs4()) OnCharacter(character);
}

// Pasted characters take the keyboard's character path, as typed ones do,
// but leave the view where it is.
PasteSink MainWindow::MakePasteSink() {
    Transport& transport = parts_.transport;
    Terminal& terminal = parts_.engine;
    return PasteSink{
        [&transport] { return transport.Queued() < Transport::kResumeBelow; },
        [&terminal](char32_t c) {
            terminal.Paste({&c, 1});
        },
        [this](const TypedKey& key) { SendTyped(key); },
        [&transport] { transport.HoldFlush(); },
        [&transport] { transport.ReleaseFlush(); },
    };
}

void MainWindow::SendTyped(const TypedKey& key) {
    switch (key.path) {
        case TypedKey::Path::kKey:
            parts_.engine.Press(key.key);
            return;
        case TypedKey::Path::kCharacter:
            parts_.engine.Character(key.code);
            return;
        case TypedKey::Path::kPasteBracket:
            parts_.engine.SendPasteBracket(key.code != 0);
            return;
    }
}

void MainWindow::PasteText(const QString& text) {
    const Terminal::PreparedPaste paste = parts_.engine.PreparePaste(text.toStdU16String());
    if (paste.bracketed) paste_.Type({TypedKey::Path::kPasteBracket, 1});
    paste_.Paste(QString::fromStdU16String(paste.text));
    if (paste.bracketed) paste_.Type({TypedKey::Path::kPasteBracket, 0});
}

void MainWindow::OnCommand(CommandId id) {
    UserOptions& options = parts_.settings.options;
    switch (id) {
        case CommandId::kNewConnection:
            Launch(std::nullopt);
            return;
        case CommandId::kPrintScreen:
            if (hooks_.printScreen) {
                hooks_.printScreen(this, parts_.engine.View(), view_->ViewTop(),
                                   parts_.engine.View().Geometry().screenRows);
            }
            return;
        case CommandId::kTogglePrintCapture:
            hooks_.messageBox(this, QString::fromLatin1(kSorryText), QStringLiteral("Sorry"),
                              QMessageBox::NoIcon);
            return;
        case CommandId::kLogSession:
            logger_.Toggle(parts_.target.HostName);
            return;
        case CommandId::kRunScript:
            scripts_.Toggle(parts_.target.HostName);
            return;
        case CommandId::kSendFiles:
            zmodem_.SendFiles();
            return;
        case CommandId::kConnectionInformation:
            hooks_.messageBox(this, parts_.transport.Information(),
                              QStringLiteral("Connection Information"), QMessageBox::Information);
            return;
        case CommandId::kExit:
            hooks_.postQuit(0);
            DestroyWindow();
            return;
        case CommandId::kCopy:
            view_->CopySelection();
            return;
        case CommandId::kPaste:
            PasteText(view_->ClipboardText());
            return;
        case CommandId::kFind:
            find_->Open();
            return;
        case CommandId::kHelpIndex:
            if (hooks_.help) hooks_.help(this, HelpTopic::Index);
            return;
        case CommandId::kUsingHelp:
            if (hooks_.help) hooks_.help(this, HelpTopic::UsingHelp);
            return;
        case CommandId::kAbout:
            if (hooks_.about) hooks_.about(this);
            return;
        case CommandId::kShowCodes:
            FlipOption(id, !options.ShowCodes(), &UserOptions::SetShowCodes);
            return;
        case CommandId::kWrap:
            FlipOption(id, !options.Wrap(), &UserOptions::SetWrap);
            return;
        case CommandId::kExtendedTerminal:
            ChooseTerminal(options.Extended() ? DialectId::kPlain : DialectId::kExtended);
            return;
        case CommandId::kBbsTerminal:
            ChooseTerminal(options.Bbs() ? DialectId::kPlain : DialectId::kBbs);
            return;
        case CommandId::kSetupDialog:
            if (hooks_.setupDialog) {
                hooks_.setupDialog(
                    this, SetupTarget{parts_.settings, parts_.store, parts_.fonts.CellHeight,
                                      setupFontHeight_, [this] { view_->InvalidateAll(); }});
            }
            return;
        default:
            if (const int number = HistoryNumberOf(id)) LaunchHistoryHost(number);
            if (const auto code = TelnetCommandCode(id)) SendTelnetCommand(*code);
            return;
    }
}

// IAC and the command in one send, behind what waits to go; Synch's DM is
// TCP urgent data. Raw TCP has no Telnet commands.
void MainWindow::SendTelnetCommand(std::uint8_t code) {
    if (parts_.engine.RawConnection()) return;
    const std::uint8_t command[] = {telnet::kIac, code};
    if (code == telnet::kDm) {
        parts_.transport.SendUrgent(command, sizeof command);
    } else {
        parts_.transport.SendBytes(command, sizeof command);
    }
}

// The host heard the terminal type when it connected and is not told again:
// one local line says so.
void MainWindow::SayTerminalTypeStays(std::string_view type) {
    parts_.engine.WriteLocal("\r\n[the host still uses the terminal type " + std::string(type) +
                             " until it reconnects]\r\n");
}

// The option flips first, then its check mark follows it.
// The extended and the BBS terminal exclude each other: choosing one clears
// the other, and both off is the plain terminal. `bbs` is written only once
// it has been chosen, so a store that never had it keeps none.
void MainWindow::ChooseTerminal(DialectId dialect) {
    UserOptions& options = parts_.settings.options;
    const bool wasBbs = options.Bbs();
    // The terminal in force changes at the next block: it still reports the
    // type the host was told.
    const std::string told(parts_.engine.ReportedTerminalType());
    const bool changes = options.ChosenDialect() != dialect;
    options.SetDialect(dialect);
    parts_.store.WriteSetting(kSettingsSection, kExtendedKey, options.Extended() ? "1" : "0");
    if (wasBbs || options.Bbs()) {
        parts_.store.WriteSetting(kSettingsSection, kBbsKey, options.Bbs() ? "1" : "0");
    }
    ShowOptionMarks();
    ApplyTerminalMode();
    if (changes && parts_.transport.Connected()) SayTerminalTypeStays(told);
}

void MainWindow::FlipOption(CommandId id, bool on, void (UserOptions::*set)(bool)) {
    (parts_.settings.options.*set)(on);
    menus_.SetChecked(id, on);
}

void MainWindow::LaunchHistoryHost(int number) {
    Launch(ReadHostEntry(parts_.store, number, kHostBufferSize));
}

void MainWindow::Launch(const std::optional<std::string>& host) {
    if (hooks_.launchInstance) hooks_.launchInstance(host);
}

// The view moves within the scroll bar's range: the history in use.
void MainWindow::OnScroll(ScrollAction action, int position) {
    ShowHistoryDepth();
    const int top = view_->ViewTop();
    int target = top;
    switch (action) {
        case ScrollAction::kLineUp:
            target = top - 1;
            break;
        case ScrollAction::kLineDown:
            target = top + 1;
            break;
        case ScrollAction::kPageUp:
            target = top - PageRows();
            break;
        case ScrollAction::kPageDown:
            target = top + PageRows();
            break;
        case ScrollAction::kThumbPosition:
            target = position;
            break;
        case ScrollAction::kThumbTrack:
            return;
    }
    view_->DisplaySetViewTop(std::clamp(target, scrollBar_->minimum(), scrollBar_->maximum()));
}

void MainWindow::OnMouseMove(QPoint at) {
    view_->SelectionDrag(at.x(), at.y());
}

// Alt marks a rectangle in the extended terminal and Shift extends the
// selection; while the host asks for the mouse, Shift keeps the mouse for
// the user instead, and the press selects as it would without reporting.
void MainWindow::OnLeftButtonDown(QPoint at, Qt::KeyboardModifiers modifiers, int clicks) {
    const bool extend =
        (modifiers & Qt::ShiftModifier) != 0 && clicks == 1 && !parts_.engine.MouseReporting();
    view_->SelectionPress(at.x(), at.y(), {clicks, (modifiers & Qt::AltModifier) != 0, extend});
}

void MainWindow::OnLeftButtonUp() {
    view_->SelectionRelease();
    view_->CopyToSelectionClipboard();
}

void MainWindow::OnMiddleButtonDown() {
    if (!QGuiApplication::clipboard()->supportsSelection()) return;
    PasteText(view_->ClipboardText(QClipboard::Selection));
}

void MainWindow::OnRightButtonDown(QPoint at) {
    const HostHistory hosts = ReadHostHistory(parts_.store, kSubmenuHostBuffer);
    std::optional<CommandId> chosen;
    QMenu* menu = BuildPopupMenu(this, hosts, [&chosen](CommandId id) { chosen = id; });
    hooks_.trackPopupMenu(*menu, view_->mapToGlobal(at));
    delete menu;
    // As with a menu choice, the command arrives after the menu has closed.
    if (chosen) OnCommand(*chosen);
}

void MainWindow::OnSessionRead() {
    ShowHistoryDepth();
    FollowPointer();
}

void MainWindow::OnSessionWritable() {
    paste_.Resume();
}

void MainWindow::OnSessionClosed() {
    if (!parts_.settings.autoexit) {
        hooks_.messageBox(this, QStringLiteral("Connection closed"), QStringLiteral("Quillterm"),
                          QMessageBox::NoIcon);
    }
    DestroyWindow();
}

// The timer has nothing more to do once the splash has gone: an idle window
// must not wake.
void MainWindow::OnTimer() {
    if (--splashCountdown_ > 0) return;
    DestroySplash();
    timer_.stop();
}

// The splash ignores close requests like any template dialog; it goes by
// being deleted.
void MainWindow::DestroySplash() {
    delete splash_;
}

}  // namespace quill
