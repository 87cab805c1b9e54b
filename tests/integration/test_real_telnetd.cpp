// The client against a Telnet server nobody here wrote: GNU inetutils telnetd
// asks for the terminal type and logs in only after WILL ENCRYPT has been
// refused, so a shell prompt proves the negotiation was answered right.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QProcess>
#include <QTemporaryDir>

#include "core/settings/memory_settings_backend.h"
#include "scripted_server.h"
#include "telnetd_server.h"
#include "ui/app/application.h"
#include "ui/terminal/terminal_view.h"
#include "x_display.h"

namespace quill::test {
namespace {

std::string ScreenText(const ScreenModel& screen) {
    std::string text;
    for (int r = 0; r < kScreenRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            text.push_back(static_cast<char>(screen.CharAt(kFirstScreenRow + r, c)));
        }
        text.push_back('\n');
    }
    return text;
}

bool Shows(const Application& app, const std::string& text) {
    return app.Screen() != nullptr && ScreenText(*app.Screen()).find(text) != std::string::npos;
}

// Types text into the terminal view as key presses, Return for '\n'.
void TypeInto(QWidget& view, const std::string& text) {
    for (const char c : text) {
        const bool enter = c == '\n';
        const int key = enter ? int{Qt::Key_Return} : int{QChar(c).toUpper().unicode()};
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier,
                        enter ? QString("\r") : QString(QChar(c)));
        QCoreApplication::sendEvent(&view, &press);
    }
}

class RealTelnetdTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const QString missing = TelnetdServer::Missing();
        if (!missing.isEmpty()) GTEST_SKIP() << missing.toStdString();
        ASSERT_TRUE(server.Start());
    }
    TelnetdServer server;
};

TEST_F(RealTelnetdTest, ShellCommandRunsWithTermVt100AndExitEndsTheProgram) {
    MemorySettingsBackend backend;
    SettingsStore store(backend);
    store.WriteSetting("Settings", "autoexit", "1");
    std::vector<QString> boxes;
    AppHooks hooks;
    hooks.window.messageBox = [&](QWidget*, const QString& text, const QString&,
                                  QMessageBox::Icon) { boxes.push_back(text); };
    Application app(store, hooks);
    const std::string port = std::to_string(server.Port());
    const char* argv[] = {"quillterm", "127.0.0.1", port.c_str(), nullptr};
    ASSERT_EQ(app.StartUp(3, argv), Application::kStarted);

    // The shell's prompt: the login went through.
    ASSERT_TRUE(PumpUntil([&] { return Shows(app, "\n# ") || Shows(app, "\n$ "); }, 15000))
        << ScreenText(*app.Screen());
    TypeInto(app.Window()->View(), "echo $TERM\n");
    ASSERT_TRUE(PumpUntil([&] { return Shows(app, "\nvt100 "); }, 10000))
        << ScreenText(*app.Screen());

    TypeInto(app.Window()->View(), "exit\n");
    ASSERT_TRUE(PumpUntil([&] { return app.QuitPosted(); }, 10000)) << ScreenText(*app.Screen());
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(app.MessageLoop(), 0);
}

TEST_F(RealTelnetdTest, TheProgramTypedIntoUnderXvfbExitsWithZero) {
    const QString missing = MissingXTools();
    if (!missing.isEmpty()) GTEST_SKIP() << missing.toStdString();
    VirtualDisplay display;
    ASSERT_TRUE(display.Start());
    QTemporaryDir config;
    QProcess program;
    ASSERT_TRUE(StartProgramOnDisplay(program, display.Name(), config.path(),
                                      {"127.0.0.1", QString::number(server.Port())}));

    // The title becomes the host once connected; a first start on a fresh
    // display can be slow on a loaded machine.
    const QString window = WaitForWindow(display.Name(), "^127\\.0\\.0\\.1$", 30000);
    ASSERT_FALSE(window.isEmpty())
        << "program state " << program.state()
        << ", windows on the display: " << WindowIds(display.Name()).toStdString();
    RunXdotool(display.Name(), {"windowfocus", "--sync", window});

    // The shell may not be up yet: type the command until its file appears.
    const QString termFile = config.filePath("term");
    ASSERT_TRUE(PumpUntil(
        [&] {
            RunXdotool(display.Name(),
                       {"type", "--delay", "20", QString("echo $TERM > %1").arg(termFile)});
            RunXdotool(display.Name(), {"key", "Return"});
            return PumpUntil([&] { return QFile::exists(termFile); }, 1500);
        },
        20000));
    // The shell creates the file before it writes the line.
    QByteArray written;
    EXPECT_TRUE(PumpUntil([&] {
        QFile term(termFile);
        written = term.open(QIODevice::ReadOnly) ? term.readAll() : QByteArray();
        return written.endsWith('\n');
    }));
    EXPECT_EQ(written.trimmed(), "vt100");

    RunXdotool(display.Name(), {"type", "--delay", "20", "exit"});
    RunXdotool(display.Name(), {"key", "Return"});
    ASSERT_TRUE(WaitForProgramEnd(program, 15000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
}

}  // namespace
}  // namespace quill::test
