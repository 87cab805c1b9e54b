#pragma once

#include <QMainWindow>
#include <QPoint>
#include <QPointer>
#include <QSize>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/engine/terminal.h"
#include "core/interfaces/connection_target.h"
#include "core/settings/settings_store.h"
#include "core/settings/terminal_settings.h"
#include "ui/app/paste_queue.h"
#include "ui/app/script_session.h"
#include "ui/app/session_logger.h"
#include "ui/app/zmodem_session.h"
#include "ui/dialogs/setup_dialog.h"
#include "ui/net/transport.h"
#include "ui/resources/command_ids.h"
#include "ui/resources/help_window.h"
#include "ui/resources/menu_builder.h"
#include "ui/resources/message_box.h"
#include "ui/terminal/terminal_fonts.h"

class QKeyEvent;
class QMenu;
class QMouseEvent;
class QScrollBar;

namespace quill {

class FindController;
class LinkPointer;
class TerminalView;

// Everything the main window works on; the application owns it.
struct WindowParts {
    SettingsStore& store;
    TerminalSettings& settings;
    Terminal& engine;
    Transport& transport;
    const TerminalFonts& fonts;
    // The host connected to: the suggested name of a session log.
    const ConnectionTarget& target;
};

// What the window asks of the world outside it. The defaults talk to the user
// and start programs; tests replace them to record what would happen.
struct WindowHooks {
    MessageBoxFunction messageBox;
    // The LISTHOSTS dialog; the chosen host, or none.
    std::function<std::optional<std::string>(QWidget* owner)> chooseListedHost;
    // Starts a second copy of the program for the host (none: it asks).
    std::function<void(const std::optional<std::string>& host)> launchInstance;
    std::function<void(QWidget* owner, HelpTopic topic)> help;
    // Shows the right-button menu at a screen position until it is closed.
    std::function<void(QMenu& menu, const QPoint& globalPosition)> trackPopupMenu;
    // Ends the message loop with the exit code.
    std::function<void(int exitCode)> postQuit;
    // Print Screen with the rows on display, About, Setup with what it works
    // on, and the splash window: nothing happens for them while they are empty.
    std::function<void(QWidget* owner, const ScreenView& screen, int firstRow, int rowCount)>
        printScreen;
    std::function<void(QWidget* owner)> about;
    std::function<void(QWidget* owner, const SetupTarget& target)> setupDialog;
    // Makes the modeless splash window; none means it could not be made.
    std::function<QWidget*(QWidget* owner)> createSplash;
    // The "Log Session" save dialog; no log is started while it is empty.
    ChooseLogFileFunction chooseLogFile;
    // The "Run Script" open dialog; no script is started by hand while it is empty.
    ChooseScriptFileFunction chooseScriptFile;
    // ZMODEM's dialogs and where rz and sz are found.
    ZmodemHooks zmodem;
    // Where scripts find passwords; none: no keyring, the Password dialog asks.
    std::shared_ptr<Keyring> keyring;
    // The time socket reading, display frames and the session log are
    // measured by: the steady clock, unless a test gives its own.
    std::function<std::chrono::steady_clock::time_point()> clock;
};

// What the scroll bar asks for.
enum class ScrollAction { kLineUp, kLineDown, kPageUp, kPageDown, kThumbPosition, kThumbTrack };

// The terminal window. Each row of its message table is a handler named after
// the message; Qt's events call them, and so do tests. Painting is the
// terminal view's own paintEvent.
class MainWindow final : public QMainWindow {
    Q_OBJECT
  public:
    // Splash ticks before the splash window closes.
    static constexpr int kSplashTicks = 4;

    MainWindow(WindowParts parts, WindowHooks hooks);
    ~MainWindow() override;

    void OnCreate();
    void OnDestroy();
    void OnActivate(bool active);
    void OnClose();
    // The largest size the plain terminal's window may take: 80 x 24 cells.
    QSize OnGetMinMaxInfo() const;
    int FixedRows() const;
    void OnNonClientRightButtonDown();
    // One key press: true when anything was sent.
    bool OnKey(const KeyPress& press);
    // True when the character was sent.
    bool OnCharacter(char32_t character);
    // Text from an input method (dead keys, compose, IBus, Fcitx): each
    // committed character is typed; the pre-edit is only shown.
    void OnInputMethod(const QString& commit, const QString& preedit);
    void OnCommand(CommandId id);
    void OnTimer();
    void OnScroll(ScrollAction action, int position = 0);
    void OnMouseMove(QPoint at);
    void OnLeftButtonDown(QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                          int clicks = 1);
    // Puts the marked cells in the selection clipboard, where there is one.
    void OnLeftButtonUp();
    void OnRightButtonDown(QPoint at);
    // Pastes the selection clipboard as Paste does the clipboard.
    void OnMiddleButtonDown();
    // The session has fed the terminal what arrived: the history may be deeper.
    void OnSessionRead();
    // The server closed the connection: a box (unless `autoexit`), then the
    // window goes.
    void OnSessionClosed();
    // The outbound queue has room again: a paste that waited goes on.
    void OnSessionWritable();

    // Keeps the window, frame and all, within the screen's free area.
    void FitOnScreen();
    // Destroys the window once: OnDestroy, then it disappears.
    void DestroyWindow();
    bool Destroyed() const { return destroyed_; }
    // A paste, or keys typed behind one, still wait to go out.
    bool Pasting() const { return paste_.Busy(); }

    TerminalView& View() { return *view_; }
    FindController& Find() { return *find_; }
    LinkPointer& Links() { return *links_; }
    QScrollBar& ScrollBar() { return *scrollBar_; }
    const MenuActions& Menus() const { return menus_; }
    // The height the Setup dialog starts its font choice from.
    int SetupFontHeight() const { return setupFontHeight_; }
    QWidget* SplashWindow() const { return splash_; }
    bool StartupTimerRunning() const { return timer_.isActive(); }
    SessionLogger& Logger() { return logger_; }
    ScriptSession& Scripts() { return scripts_; }
    ZmodemSession& Transfers() { return zmodem_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // One local line: the host keeps the terminal type it was told until it
    // reconnects.
    void SayTerminalTypeStays(std::string_view type);
    void DestroySplash();
    // The window's size and the terminal's grid: in the extended terminal the
    // client area sets the grid; the plain terminal keeps its fixed size.
    void ApplyTerminalMode();
    void FollowWindow();
    void ReturnToPlainSize();
    void FollowClientArea();
    void FitGridWidth();
    void ResizeGrid(int columns, int rows);
    void ShowHistoryDepth();
    int PageRows() const;
    void LaunchHistoryHost(int number);
    void Launch(const std::optional<std::string>& host);
    void ChooseTerminal(DialectId dialect);
    void FlipOption(CommandId id, bool on, void (UserOptions::*set)(bool));
    void ShowOptionMarks();
    PasteSink MakePasteSink();
    // Queues a paste, between brackets when the host asks for them.
    void PasteText(const QString& text);
    void SendTyped(const TypedKey& key);

    bool ViewEvent(QEvent* event);
    bool WheelEvent(QEvent* event);
    void ScrollBarAction(int action);
    void KeyEvent(const QKeyEvent& event);
    bool PageScrollBack(const QKeyEvent& event);
    bool KeyReturnsToLive(const KeyPress& press) const;
    void SendTelnetCommand(std::uint8_t code);
    bool MouseEvent(const QMouseEvent& event);
    void CtrlKeyEvent(const QKeyEvent& event);
    void FollowPointer();
    bool LinkClick(const QMouseEvent& event);
    void OpenLink(const std::string& target);
    bool HostMouseEvent(const QMouseEvent& event);
    int ClicksInARow(const QMouseEvent& event);
    bool HostWheelEvent(QEvent* event);
    void ReportMouse(MouseAction action, MouseButton button, QPointF at,
                     Qt::KeyboardModifiers modifiers);

    WindowParts parts_;
    WindowHooks hooks_;
    TerminalView* view_;
    QScrollBar* scrollBar_;
    FindController* find_;
    std::unique_ptr<LinkPointer> links_;
    MenuActions menus_;
    PasteQueue paste_;
    QTimer timer_;
    SessionLogger logger_;
    ScriptSession scripts_;
    ZmodemSession zmodem_;
    QPointer<QWidget> splash_;
    int splashCountdown_ = kSplashTicks;
    int setupFontHeight_ = 0;
    bool created_ = false;
    bool destroyed_ = false;
    // A button press went to the host: what follows until every button is
    // up goes there too.
    bool mouseToHost_ = false;
    // When and where the last double click was, for a third.
    std::optional<quint64> doubleClickTime_;
    QPoint doubleClickAt_;
};

}  // namespace quill
