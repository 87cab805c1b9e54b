#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QSize>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/settings/settings_store.h"
#include "core/settings/terminal_settings.h"
#include "core/telnet/inbound_stream.h"
#include "core/terminal/keyboard.h"
#include "core/terminal/screen_model.h"
#include "ui/dialogs/setup_dialog.h"
#include "ui/net/tcp_transport.h"
#include "ui/resources/menu_builder.h"
#include "ui/resources/message_box.h"
#include "ui/terminal/terminal_fonts.h"

class QKeyEvent;
class QMenu;
class QMouseEvent;
class QScrollBar;

namespace quill {

class TerminalView;

// Everything the main window works on; the application owns it.
struct WindowParts {
    SettingsStore& store;
    TerminalSettings& settings;
    ScreenModel& screen;
    InboundStream& inbound;
    Keyboard& keyboard;
    TcpTransport& transport;
    const TerminalFonts& fonts;
};

// What the window asks of the world outside it. The defaults talk to the user
// and start programs; tests replace them to record what would happen.
struct WindowHooks {
    MessageBoxFunction messageBox;
    // The LISTHOSTS dialog; the chosen host, or none.
    std::function<std::optional<std::string>(QWidget* owner)> chooseListedHost;
    // Starts a second copy of the program for the host (none: it asks).
    std::function<void(const std::optional<std::string>& host)> launchInstance;
    // Help index (901) or using help (905).
    std::function<void(QWidget* owner, int command)> help;
    // Shows the right-button menu at a screen position until it is closed.
    std::function<void(QMenu& menu, const QPoint& globalPosition)> trackPopupMenu;
    // Ends the message loop with the exit code.
    std::function<void(int exitCode)> postQuit;
    // Print Screen (105) with the rows on display, About (999), Setup (2003)
    // with what it works on, and the splash window: nothing happens for them
    // while they are empty.
    std::function<void(QWidget* owner, const std::uint8_t* grid, int firstRow, int rowCount)>
        printScreen;
    std::function<void(QWidget* owner)> about;
    std::function<void(QWidget* owner, const SetupTarget& target)> setupDialog;
    // Makes the modeless splash window; none means it could not be made.
    std::function<QWidget*(QWidget* owner)> createSplash;
};

// The answer to WM_GETMINMAXINFO.
struct MinMaxInfo {
    QSize maxSize;
};

// The terminal window. Its Qt events are translated into window messages for
// MainWindowProc, which routes each to the part of the program that does the
// work; tests send messages to it directly.
class MainWindow final : public QMainWindow {
    Q_OBJECT
  public:
    // Splash ticks before the splash window closes.
    static constexpr int kSplashTicks = 4;
    // Chunks handed on from one data-ready event before the window lets other
    // events in: one display frame of work at most.
    static constexpr int kReadSliceMs = 16;

    MainWindow(WindowParts parts, WindowHooks hooks);
    ~MainWindow() override;

    std::intptr_t MainWindowProc(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

    // Destroys the window once: WM_DESTROY, then it disappears.
    void DestroyWindow();
    bool Destroyed() const { return destroyed_; }

    TerminalView& View() { return *view_; }
    QScrollBar& ScrollBar() { return *scrollBar_; }
    const MenuActions& Menus() const { return menus_; }
    // The height the Setup dialog starts its font choice from.
    int SetupFontHeight() const { return setupFontHeight_; }
    QWidget* SplashWindow() const { return splash_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void OnCreate();
    void OnDestroy();
    void OnActivate(unsigned state);
    void OnCommand(int id);
    void OnVScroll(unsigned code, unsigned position);
    void OnSocket(unsigned event);
    void ReadSocket();
    void OnTimer();
    void DestroySplash();
    void OnMinMaxInfo(MinMaxInfo& info) const;
    void PopupMenu(int x, int y);
    void LaunchHistoryHost(int number);
    void Launch(const std::optional<std::string>& host);
    void InvertOption(int id, bool& option);

    bool ViewEvent(QEvent* event);
    bool ScrollBarEvent(QEvent* event);
    void ScrollBarAction(int action);
    void KeyPress(const QKeyEvent& event);
    bool MouseMessage(unsigned message, const QMouseEvent& event);
    void Send(unsigned message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);

    WindowParts parts_;
    WindowHooks hooks_;
    TerminalView* view_;
    QScrollBar* scrollBar_;
    MenuActions menus_;
    QTimer timer_;
    QPointer<QWidget> splash_;
    int splashCountdown_ = kSplashTicks;
    int setupFontHeight_ = 0;
    bool created_ = false;
    bool destroyed_ = false;
};

}  // namespace quill
