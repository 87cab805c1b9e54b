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
    for (const char* tool : {"Xvfb", "xdotool"}) {
        if (QStandardPaths::findExecutable(tool).isEmpty()) {
            return QString("%1 is not installed").arg(tool);
        }
    }
    return {};
}

bool ProgramUnderXvfb::StartDisplay() {
    xvfb_.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
    if (!xvfb_.waitForStarted(3000)) return false;
    if (!PumpUntil([this] { return xvfb_.canReadLine(); }, 10000)) return false;
    display_ = ":" + QString::fromLatin1(xvfb_.readLine()).trimmed();
    return true;
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
    program_.start(QUILLTERM_BINARY, arguments);
    return program_.waitForStarted(5000);
}

int ProgramUnderXvfb::Xdotool(const QStringList& arguments, QString* output) const {
    QProcess xdotool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display_);
    xdotool.setProcessEnvironment(env);
    xdotool.start("xdotool", arguments);
    if (!xdotool.waitForFinished(10000)) {
        xdotool.kill();
        xdotool.waitForFinished(1000);
        return -1;
    }
    if (output != nullptr) *output = QString::fromLatin1(xdotool.readAllStandardOutput());
    return xdotool.exitCode();
}

// A first start on a fresh display can be slow on a loaded machine.
bool ProgramUnderXvfb::FocusWindow(const QString& title, int timeoutMs) {
    const QString pattern = "^" + QRegularExpression::escape(title) + "$";
    QString window;
    if (!PumpUntil(
            [&] {
                return Xdotool({"search", "--name", pattern}, &window) == 0;
            },
            timeoutMs)) {
        return false;
    }
    return Xdotool({"windowfocus", "--sync", window.section('\n', 0, 0)}) == 0;
}

int ProgramUnderXvfb::WaitForExit(int timeoutMs) {
    if (!program_.waitForFinished(timeoutMs)) {
        Stop(program_, SIGKILL);
        return -1;
    }
    return program_.exitStatus() == QProcess::NormalExit ? program_.exitCode() : -1;
}

QString ProgramUnderXvfb::Windows() const {
    QString ids;
    Xdotool({"search", "--name", "."}, &ids);
    return ids;
}

}  // namespace quill::test
