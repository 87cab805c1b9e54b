#include "x_display.h"

#include <signal.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include "scripted_server.h"

namespace quill::test {

QString MissingXTools() {
    if (QStandardPaths::findExecutable("Xvfb").isEmpty() ||
        QStandardPaths::findExecutable("xdotool").isEmpty()) {
        return "Xvfb or xdotool is not installed";
    }
    return {};
}

VirtualDisplay::~VirtualDisplay() {
    if (xvfb_.state() == QProcess::NotRunning) return;
    ::kill(static_cast<pid_t>(xvfb_.processId()), SIGTERM);
    xvfb_.waitForFinished(3000);
}

bool VirtualDisplay::Start() {
    xvfb_.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
    if (!xvfb_.waitForStarted(3000)) return false;
    if (!PumpUntil([this] { return xvfb_.canReadLine(); }, 10000)) return false;
    name_ = ":" + QString::fromLatin1(xvfb_.readLine()).trimmed();
    return true;
}

int RunXdotool(const QString& display, const QStringList& arguments, QString* output) {
    QProcess xdotool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
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

QString WaitForWindow(const QString& display, const QString& pattern, int timeoutMs) {
    QString found;
    PumpUntil(
        [&] {
            return RunXdotool(display, {"search", "--name", pattern}, &found) == 0;
        },
        timeoutMs);
    return found.section('\n', 0, 0);
}

QString WindowIds(const QString& display) {
    QString ids;
    RunXdotool(display, {"search", "--name", "."}, &ids);
    return ids;
}

bool StartProgramOnDisplay(QProcess& program, const QString& display, const QString& configDir,
                           const QStringList& arguments) {
    if (!QDir(configDir).mkpath("Brannock")) return false;
    QFile conf(QDir(configDir).filePath("Brannock/Quillterm.conf"));
    if (!conf.open(QIODevice::WriteOnly)) return false;
    conf.write("[settings]\nautoexit=1\n");
    conf.close();

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    env.insert("XDG_CONFIG_HOME", configDir);
    env.remove("QT_QPA_PLATFORM");
    program.setProcessEnvironment(env);
    // What the program says shows in the test log when something goes wrong.
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(QUILLTERM_BINARY, arguments);
    return program.waitForStarted(5000);
}

bool WaitForProgramEnd(QProcess& program, int timeoutMs) {
    if (program.waitForFinished(timeoutMs)) return true;
    ::kill(static_cast<pid_t>(program.processId()), SIGKILL);
    program.waitForFinished(3000);
    return false;
}

}  // namespace quill::test
