#include "ui/app/application.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <new>
#include <string>

#include "core/script/host_key.h"
#include "core/startup/command_line.h"
#include "core/startup/leading_options.h"
#include "core/version.h"
#include "ui/app/launch_instance.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/certificate_dialogs.h"
#include "ui/dialogs/connect_dialog.h"
#include "ui/dialogs/host_list_dialog.h"
#include "ui/dialogs/log_file_dialog.h"
#include "ui/dialogs/splash_window.h"
#include "ui/print/print_screen.h"
#include "ui/resources/help_window.h"
#include "ui/resources/message_box.h"
#include "ui/resources/program_icon.h"
#include "ui/script/script_file.h"
#include "ui/settings/settings_folder.h"
#include "ui/terminal/terminal_view.h"

namespace quill {

namespace {

constexpr int kExitTransport = 1;
constexpr int kExitScreen = 2;
constexpr int kExitCommandLine = 3;
constexpr int kExitConnection = 4;
// The longest script path the `scripts` settings may hold.
constexpr std::size_t kScriptPathBuffer = 4096;
// How long start-up waits for the window system to show the new window.
constexpr int kExposeWaitMs = 500;
constexpr int kExposeSliceMs = 10;

// Lets the window system map the window and ask for its first paint, so that
// it shows before start-up waits in a dialog or a connect. Keys and clicks
// stay queued for later.
void WaitUntilExposed(const QWidget& window) {
    QTimer wake;  // the wait below returns at least this often
    wake.start(kExposeSliceMs);
    QElapsedTimer clock;
    clock.start();
    while (!window.windowHandle()->isExposed() && clock.elapsed() < kExposeWaitMs) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);
    }
}

}  // namespace

AppHooks DefaultAppHooks(SettingsStore& store) {
    AppHooks hooks;
    hooks.window.messageBox = ShowMessageBox;
    hooks.window.trackPopupMenu = [](QMenu& menu, const QPoint& at) { menu.exec(at); };
    hooks.window.launchInstance = [](const std::optional<std::string>& host) {
        LaunchInstance(host.value_or(std::string()));
    };
    hooks.window.chooseListedHost = [&store](QWidget* owner) -> std::optional<std::string> {
        std::string host;
        if (!ChooseListedHost(owner, store, host)) return std::nullopt;
        return host;
    };
    hooks.connectDialog = [&store](ConnectionTarget& target, QWidget* owner) {
        return RunConnectDialog(owner, store, target);
    };
    auto printer = std::make_shared<ScreenPrinter>();
    hooks.window.printScreen = [printer](QWidget* owner, const ScreenView& screen, int firstRow,
                                         int rowCount) {
        printer->PrintScreen(owner, RowsOnDisplay(screen, firstRow, rowCount));
    };
    auto setup = std::make_shared<SetupSession>();
    hooks.window.setupDialog = [setup](QWidget* owner, const SetupTarget& target) {
        RunSetupDialog(*setup, target, owner);
    };
    hooks.window.about = [](QWidget* owner) { RunAboutDialog(owner); };
    hooks.window.chooseLogFile = ChooseLogFile;
    hooks.window.zmodem = DesktopZmodemHooks();
    hooks.window.chooseScriptFile = [](QWidget* owner) -> std::optional<QString> {
        const QString path = QFileDialog::getOpenFileName(owner, QStringLiteral("Run Script"));
        if (path.isEmpty()) return std::nullopt;
        return path;
    };
    hooks.window.keyring = MakeDesktopKeyring();
    hooks.certificateQuestion = AskAboutCertificate;
    hooks.logAtConnect = qEnvironmentVariable("QUILLTERM_LOG");
    hooks.window.createSplash = [](QWidget* owner) -> QWidget* {
        return CreateSplashWindow(owner);
    };
    auto help = std::make_shared<HelpViewer>();
    hooks.window.help = [help](QWidget* owner, HelpTopic topic) { help->Show(owner, topic); };
    return hooks;
}

Application::Application(SettingsStore& store, AppHooks hooks)
    : store_(store),
      hooks_(std::move(hooks)),
      tcp_(MakeTransportHooks()),
      tls_(MakeTransportHooks(), MakeTlsHooks()),
      transport_(tcp_) {
    if (!hooks_.window.clock) hooks_.window.clock = [] { return std::chrono::steady_clock::now(); };
    hooks_.window.postQuit = [this](int exitCode) { PostQuit(exitCode); };
}

TransportHooks Application::MakeTransportHooks() {
    return TransportHooks{.writeLine = [this](const std::string& line) { WriteLocalLine(line); },
                          .socketError =
                              [this](const QString& text) {
                                  hooks_.window.messageBox(nullptr, text,
                                                           QStringLiteral("Socket Error"),
                                                           QMessageBox::Warning);
                              },
                          .readable = ToSession(&Session::Readable),
                          .waiting = ToSession(&Session::Waiting),
                          .closed = ToSession(&Session::PeerClosed),
                          .writable = ToSession(&Session::Writable),
                          .closeWait = hooks_.closeWait};
}

// The certificate questions are asked over the terminal window.
TlsHooks Application::MakeTlsHooks() {
    return TlsHooks{.store = &store_,
                    .ask =
                        [this](const CertificateQuestion& question) {
                            if (!hooks_.certificateQuestion) return TrustAnswer::kCancel;
                            return hooks_.certificateQuestion(window_.get(), question);
                        },
                    .tlsError =
                        [this](const QString& reason) {
                            hooks_.window.messageBox(nullptr, reason, QStringLiteral("TLS Error"),
                                                     QMessageBox::Critical);
                        },
                    .time = hooks_.handshakeTime};
}

Application::~Application() {
    FreeScreen();
}

int Application::Run(int argc, const char* const* argv) {
    const int code = StartUp(argc, argv);
    return code == kStarted ? MessageLoop() : code;
}

int Application::StartUp(int argc, const char* const* argv) {
    qCDebug(lcTrace, "I am here\r\n");
    if (!transport_.InitTransport()) {
        ErrorBox("Cannot start WINSOCKET");
        ErrorBox("Cannot initiate transport");
        return kExitTransport;
    }
    if (!InitScreen()) {
        ErrorBox("Cannot initiate screen");
        return kExitScreen;
    }
    engine_->WriteLocal(std::string(kProgramName) + " " + std::string(kProgramVersion) + "\r\n");
    ShowTransportBanner();
    std::optional<LoadedScript> script;
    const CommandLineResult parsed = ReadCommandLine(argc, argv, script);
    if (parsed == CommandLineResult::Error) ErrorBox("Commandline error");
    if (parsed != CommandLineResult::TargetKnown) {
        FreeScreen();
        return kExitCommandLine;
    }
    if (target_.Tls) transport_.Use(tls_);
    engine_->SetSecureConnection(target_.Tls);
    engine_->SetRawConnection(target_.Raw);
    const bool opened = transport_.OpenConnection(target_.HostName, target_.PortNumber);
    // Closed while the connect waited: the quit it posted ends the loop at once.
    if (window_->Destroyed()) return kStarted;
    if (!opened) {
        // A TLS failure has had its box, and a refused certificate wants none.
        if (!target_.Tls || !tls_.FailureTold()) ErrorBox("Cannot open the connection");
        FreeScreen();
        return kExitConnection;
    }
    window_->setWindowTitle(QString::fromLocal8Bit(target_.HostName));
    engine_->ConnectionOpened();
    if (!hooks_.logAtConnect.isEmpty()) window_->Logger().Start(hooks_.logAtConnect);
    StartScript(std::move(script));
    return kStarted;
}

// The leading options first (--script FILE, --tls, --raw): the script is read and
// checked before the host is looked at. A file that cannot be read is a command-line error, a
// fault in the script only a box (the connection is made all the same).
CommandLineResult Application::ReadCommandLine(int argc, const char* const* argv,
                                               std::optional<LoadedScript>& script) {
    const LeadingOptions taken = TakeLeadingOptions(argc, argv);
    if (taken.error) return CommandLineResult::Error;
    if (taken.file) {
        script = LoadScript(QFile::decodeName(taken.file->c_str()));
        if (script->unreadable) {
            // The box is the usual "Commandline error"; standard error says why.
            std::fprintf(stderr, "%s\n", script->fault.toLocal8Bit().constData());
            return CommandLineResult::Error;
        }
        if (!script->script) window_->Scripts().Report(script->fault);
    }
    return ParseCommandLine(
        static_cast<int>(taken.rest.size()), taken.rest.data(), taken.tls, taken.raw, target_,
        [this](ConnectionTarget& target) { return StartUpConnectDialog(target); });
}

// Once connected: the script of the command line, or else the one the
// `scripts` settings give for this host. It runs before the first byte from
// the host is read.
void Application::StartScript(std::optional<LoadedScript> commandLine) {
    ScriptSession& scripts = window_->Scripts();
    if (commandLine) {
        if (commandLine->script) scripts.Start(std::move(*commandLine->script), target_.HostName);
        return;
    }
    std::string path;
    store_.ReadSetting(kScriptsSection, ScriptHostKey(target_.HostName), "", path,
                       kScriptPathBuffer);
    if (!path.empty()) {
        scripts.StartFile(ResolveScriptPath(QFile::decodeName(path.c_str()), SettingsFolder()),
                          target_.HostName);
    }
}

int Application::MessageLoop() {
    // A quit posted before the loop runs (the window already gone) ends it at once.
    if (!quitPosted_) {
        loopRunning_ = true;
        QCoreApplication::exec();
        loopRunning_ = false;
    }
    FreeScreen();
    return quitCode_;
}

void Application::PostQuit(int exitCode) {
    if (!quitPosted_) quitCode_ = exitCode;
    quitPosted_ = true;
    // Only the running loop is told: a quit told to no loop would end the
    // next modal dialog of the thread at once.
    if (loopRunning_) QCoreApplication::exit(exitCode);
}

// The terminal reads its options from the settings, which are read after it
// is made: the options object is the same, only its values change.
bool Application::InitScreen() {
    try {
        engine_ = std::make_unique<Terminal>(display_, transport_, services_, settings_.options);
    } catch (const std::bad_alloc&) {
        hooks_.window.messageBox(nullptr, QStringLiteral("memory problem"), QString(),
                                 QMessageBox::NoIcon);
        return false;
    }
    settings_ = ReadTerminalSettings(store_);
    fonts_ = MakeTerminalFonts(settings_.font, settings_.fontsize);
    if (!CreateMainWindow()) {
        FreeScreen();
        return false;
    }
    return true;
}

bool Application::CreateMainWindow() {
    window_ = std::make_unique<MainWindow>(
        WindowParts{store_, settings_, *engine_, transport_, fonts_, target_}, hooks_.window);
    window_->setWindowIcon(ProgramIcon());
    CreateSession();
    display_.SetTarget(&window_->View());
    services_.SetTitleWindow(window_.get());
    window_->OnCreate();
    window_->show();
    WaitUntilExposed(*window_);
    window_->FitOnScreen();
    window_->View().UpdateNow();
    // The new window takes the keyboard: keys and Alt+letters reach it without a click.
    window_->activateWindow();
    return true;
}

// What the transport reports goes to the session, while there is one.
std::function<void()> Application::ToSession(void (Session::*report)()) {
    return [this, report] {
        if (session_) (*session_.*report)();
    };
}

// The session pumps the connection into the terminal and tells the window.
void Application::CreateSession() {
    session_ = std::make_unique<Session>(
        SessionParts{transport_, *engine_, window_->Logger(), window_->Scripts()},
        SessionHooks{[this] { window_->OnSessionRead(); }, [this] { window_->OnSessionClosed(); },
                     [this] { window_->OnSessionWritable(); }, hooks_.window.clock});
}

// The start-up Connect dialog. When it has gone, the terminal window takes
// the keyboard back, as the owner of a closed dialog does.
bool Application::StartUpConnectDialog(ConnectionTarget& target) {
    if (!hooks_.connectDialog) return false;
    const bool result = hooks_.connectDialog(target, window_.get());
    window_->activateWindow();
    return result;
}

// The "Trying" line shows before the connect waits, whatever the frame pacing.
void Application::WriteLocalLine(const std::string& line) {
    engine_->WriteLocal(line);
    window_->View().PaintStale();
}

void Application::ShowTransportBanner() {
    const std::string description = transport_.Description().toStdString();
    engine_->WriteLocal("Windows Socket Transport\r\n" + description + "\r\n");
}

void Application::FreeScreen() {
    display_.SetTarget(nullptr);
    session_.reset();
    window_.reset();
    engine_.reset();
}

void Application::ErrorBox(const char* text) {
    hooks_.window.messageBox(nullptr, QString::fromLatin1(text), QStringLiteral("Error"),
                             QMessageBox::Critical);
}

}  // namespace quill
