#include "program_under_xvfb.h"

#include <signal.h>

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>

#include "scripted_server.h"

namespace quill::test {

namespace {

void Stop(QProcess& process, int signal) {
    if (process.state() == QProcess::NotRunning) return;
    ::kill(static_cast<pid_t>(process.processId()), signal);
    process.waitForFinished(3000);
}

}  // namespace

ProgramUnderXvfb::~ProgramUnderXvfb() {
    Stop(program_, SIGKILL);
    Stop(xvfb_, SIGTERM);
}

QString ProgramUnderXvfb::Missing() {
    for (const char* tool : {"Xvfb", "xdotool", "xdpyinfo"}) {
        if (QStandardPaths::findExecutable(tool).isEmpty()) {
            return QString("%1 is not installed").arg(tool);
        }
    }
    return {};
}

// Xvfb picks a free display itself and names it on its standard output once
// it listens (-displayfd). The display counts as up only when a client has
// really opened it: a server that names a display and then cannot be reached
// (one still shutting down on the same number, a crash while it starts) is
// stopped and another is started. -noreset keeps the server from starting
// over when that first client leaves.
bool ProgramUnderXvfb::StartDisplay() {
    constexpr int kAttempts = 4;
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        if (StartXvfb() && DisplayAnswers()) return true;
        xvfbErrors_ += xvfb_.readAllStandardError();
        Stop(xvfb_, SIGKILL);
        qWarning("Xvfb attempt %d of %d gave no usable display %s: %s", attempt, kAttempts,
                 qPrintable(display_), xvfbErrors_.constData());
    }
    return false;
}

bool ProgramUnderXvfb::StartXvfb() {
    display_.clear();
    xvfb_.start("Xvfb", {"-displayfd", "1", "-noreset", "-screen", "0", "1280x1024x24", "-nolisten",
                         "tcp"});
    if (!xvfb_.waitForStarted(5000)) return false;
    if (!PumpUntil([this] { return xvfb_.canReadLine() || xvfb_.state() != QProcess::Running; },
                   20000)) {
        return false;
    }
    if (!xvfb_.canReadLine()) return false;
    display_ = ":" + QString::fromLatin1(xvfb_.readLine()).trimmed();
    return display_.size() > 1;
}

// xdpyinfo opens the display, asks the server about itself and leaves.
bool ProgramUnderXvfb::DisplayAnswers() {
    return PumpUntil(
               [this] {
                   return xvfb_.state() != QProcess::Running || RunOnDisplay("xdpyinfo", {}) == 0;
               },
               15000) &&
           xvfb_.state() == QProcess::Running;
}

bool ProgramUnderXvfb::Start(const QByteArray& settings, const QStringList& arguments) {
    if (!StartDisplay()) return false;
    if (!QDir(config_.path()).mkpath("Brannock")) return false;
    QFile conf(config_.filePath("Brannock/Quillterm.conf"));
    if (!conf.open(QIODevice::WriteOnly) || conf.write(settings) != settings.size()) return false;
    conf.close();

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display_);
    env.insert("XDG_CONFIG_HOME", config_.path());
    env.remove("QT_QPA_PLATFORM");
    // No session bus: the program never reaches the developer's own keyring.
    env.remove("DBUS_SESSION_BUS_ADDRESS");
    env.insert(variables_);
    program_.setProcessEnvironment(env);
    // What the program says shows in the test log when something goes wrong.
    program_.setProcessChannelMode(QProcess::ForwardedChannels);
    if (launcher_.isEmpty()) {
        program_.start(QUILLTERM_BINARY, arguments);
    } else {
        program_.start(launcher_.first(),
                       launcher_.mid(1) + QStringList{QUILLTERM_BINARY} + arguments);
    }
    return program_.waitForStarted(5000);
}

int ProgramUnderXvfb::Xdotool(const QStringList& arguments, QString* output) const {
    return RunOnDisplay("xdotool", arguments, output);
}

QByteArray ProgramUnderXvfb::Primary() const {
    QString text;
    RunOnDisplay("xclip", {"-o", "-selection", "primary"}, &text);
    return text.toLatin1();
}

int ProgramUnderXvfb::RunOnDisplay(const QString& tool, const QStringList& arguments,
                                   QString* output) const {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display_);
    process.setProcessEnvironment(env);
    process.start(tool, arguments);
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(1000);
        return -1;
    }
    if (output != nullptr) *output = QString::fromLatin1(process.readAllStandardOutput());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// A first start on a fresh display can be slow on a loaded machine. A window
// that has just been made may not be mapped yet and refuse the focus: it is
// asked again until it takes it.
bool ProgramUnderXvfb::FocusWindow(const QString& title, int timeoutMs) {
    const QString pattern = "^" + QRegularExpression::escape(title) + "$";
    QString window;
    return PumpUntil(
               [&] {
                   return program_.state() != QProcess::Running ||
                          (Xdotool({"search", "--name", pattern}, &window) == 0 &&
                           Xdotool({"windowfocus", "--sync", window.section('\n', 0, 0)}) == 0);
               },
               timeoutMs) &&
           program_.state() == QProcess::Running;
}

int ProgramUnderXvfb::WaitForExit(int timeoutMs) {
    if (!program_.waitForFinished(timeoutMs)) {
        Stop(program_, SIGKILL);
        return -1;
    }
    return program_.exitStatus() == QProcess::NormalExit ? program_.exitCode() : -1;
}

QString ProgramUnderXvfb::Windows() const {
    if (program_.state() != QProcess::Running) {
        return QString("none: the program ended (exit code %1)").arg(program_.exitCode());
    }
    QString ids;
    Xdotool({"search", "--name", "."}, &ids);
    return ids;
}

}  // namespace quill::test
