// The program on a Wayland compositor: headless weston with a socket in a
// runtime folder of its own, the program on Qt's wayland platform plugin,
// against a host on 127.0.0.1.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "scripted_server.h"

namespace quill::test {
namespace {

const QByteArray kIdentifyReply = "\x1b[?1;7c";
const QString kSocket = "quillterm-test";

void Stop(QProcess& process) {
    if (process.state() == QProcess::NotRunning) return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

// weston and the program, each stopped when this goes.
class WaylandSession {
  public:
    ~WaylandSession() {
        Stop(program_);
        Stop(weston_);
    }

    bool StartWeston() {
        weston_.setProcessEnvironment(Environment());
        weston_.setStandardOutputFile(QProcess::nullDevice());
        weston_.setStandardErrorFile(QProcess::nullDevice());
        weston_.start("weston",
                      {"-B", "headless-backend.so", "--socket=" + kSocket, "--use-pixman"});
        return weston_.waitForStarted(10000) &&
               PumpUntil(
                   [this] {
                       return QFile::exists(runtime_.filePath(kSocket)) ||
                              weston_.state() != QProcess::Running;
                   },
                   30000) &&
               weston_.state() == QProcess::Running;
    }

    // The program with `autoexit=1`, so that it ends when the host closes.
    bool StartProgram(quint16 port) {
        QDir().mkpath(config_.filePath("Brannock"));
        QFile settings(config_.filePath("Brannock/Quillterm.conf"));
        if (!settings.open(QIODevice::WriteOnly) || settings.write("[settings]\nautoexit=1\n") < 0)
            return false;
        settings.close();
        QProcessEnvironment environment = Environment();
        environment.remove("DISPLAY");  // no falling back to X11
        environment.insert("WAYLAND_DISPLAY", kSocket);
        environment.insert("QT_QPA_PLATFORM", "wayland");
        environment.insert("XDG_CONFIG_HOME", config_.path());
        program_.setProcessEnvironment(environment);
        program_.start(QUILLTERM_BINARY, {"127.0.0.1", QString::number(port)});
        return program_.waitForStarted(10000);
    }

    // The program's exit code, or -1 when it did not end normally in time.
    int WaitForExit(int timeoutMs) {
        if (!program_.waitForFinished(timeoutMs)) return -1;
        return program_.exitStatus() == QProcess::NormalExit ? program_.exitCode() : -1;
    }

    // What the program printed, for a failure message.
    std::string Errors() { return program_.readAllStandardError().toStdString(); }

  private:
    // A runtime folder of its own (made 0700, as Wayland wants), so that no
    // other compositor's socket is found.
    QProcessEnvironment Environment() const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", runtime_.path());
        return environment;
    }

    QTemporaryDir runtime_;
    QTemporaryDir config_;
    QProcess weston_;
    QProcess program_;
};

TEST(ProgramOnWayland, ConnectsAnswersTheHostAndEndsWhenTheHostCloses) {
    if (QStandardPaths::findExecutable("weston").isEmpty()) GTEST_SKIP() << "no weston";
    ScriptedServer host;
    WaylandSession session;
    ASSERT_TRUE(session.StartWeston());
    ASSERT_TRUE(session.StartProgram(host.Port()));
    ASSERT_TRUE(host.WaitForClient(30000)) << session.Errors();
    host.Send("on Wayland\r\n\x1bZ");
    ASSERT_TRUE(PumpUntil([&] { return host.Received().contains(kIdentifyReply); }, 30000))
        << session.Errors();
    host.Close();
    EXPECT_EQ(session.WaitForExit(30000), 0) << session.Errors();
}

}  // namespace
}  // namespace quill::test
