#pragma once

#include <QString>
#include <chrono>
#include <functional>
#include <memory>

#include "core/engine/terminal.h"
#include "core/interfaces/connection_target.h"
#include "core/settings/settings_store.h"
#include "core/settings/terminal_settings.h"
#include "core/startup/command_line.h"
#include "ui/app/display_relay.h"
#include "ui/app/main_window.h"
#include "ui/app/qt_services.h"
#include "ui/app/session.h"
#include "ui/net/tcp_transport.h"
#include "ui/net/tls_transport.h"
#include "ui/net/transport_relay.h"
#include "ui/script/script_file.h"
#include "ui/terminal/terminal_fonts.h"

namespace quill {

struct AppHooks {
    WindowHooks window;
    // The start-up Connect dialog: fills the target, returns false on Cancel.
    std::function<bool(ConnectionTarget& target, QWidget* owner)> connectDialog;
    // A session log to start once connected (QUILLTERM_LOG); none when empty.
    QString logAtConnect;
    // How long closing the connection waits for queued bytes to go out.
    std::chrono::milliseconds closeWait = kCloseWait;
    // "Untrusted Certificate" and "Certificate Changed"; none answers Cancel.
    std::function<TrustAnswer(QWidget* owner, const CertificateQuestion& question)>
        certificateQuestion;
    // How long a TLS handshake may take.
    std::chrono::milliseconds handshakeTime = kHandshakeTime;
};

// The boxes, dialogs, menus, help and program starts of a real session.
AppHooks DefaultAppHooks(SettingsStore& store);

// One run of the program: start-up, the message loop and shutdown. Holds
// every part of the program; one instance per process, tests make their own.
class Application {
  public:
    // What StartUp returns when the program goes on to its message loop.
    static constexpr int kStarted = -1;

    Application(SettingsStore& store, AppHooks hooks);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The whole program: returns the exit code (0 to 4).
    int Run(int argc, const char* const* argv);
    // Start-up up to the open connection: kStarted, or the exit code of a failure.
    int StartUp(int argc, const char* const* argv);
    // Runs until the quit message, then shuts down: the exit code.
    int MessageLoop();

    MainWindow* Window() const { return window_.get(); }
    // The connection's pump, from the window's creation on.
    Session* Connection() const { return session_.get(); }
    const ScreenView* Screen() const { return engine_ ? &engine_->View() : nullptr; }
    const ConnectionTarget& Target() const { return target_; }
    TerminalSettings& Settings() { return settings_; }
    const TerminalFonts& Fonts() const { return fonts_; }
    // The transport in use: TCP, or TLS once the target asks for it.
    quill::Transport& Transport() { return transport_; }
    bool QuitPosted() const { return quitPosted_; }

  private:
    bool InitScreen();
    bool CreateMainWindow();
    void CreateSession();
    std::function<void()> ToSession(void (Session::*report)());
    bool StartUpConnectDialog(ConnectionTarget& target);
    void ShowTransportBanner();
    TransportHooks MakeTransportHooks();
    TlsHooks MakeTlsHooks();
    void WriteLocalLine(const std::string& line);
    void FreeScreen();
    void ErrorBox(const char* text);
    CommandLineResult ReadCommandLine(int argc, const char* const* argv,
                                      std::optional<LoadedScript>& script);
    void StartScript(std::optional<LoadedScript> commandLine);
    void PostQuit(int exitCode);

    SettingsStore& store_;
    AppHooks hooks_;
    TerminalSettings settings_;
    DisplayRelay display_;
    QtServices services_;
    TcpTransport tcp_;
    TlsTransport tls_;
    TransportRelay transport_;
    std::unique_ptr<Terminal> engine_;
    TerminalFonts fonts_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<Session> session_;
    ConnectionTarget target_;
    bool quitPosted_ = false;
    bool loopRunning_ = false;
    int quitCode_ = 0;
};

}  // namespace quill
