// The client against a Telnet server nobody here wrote: GNU inetutils telnetd
// asks for the terminal type and logs in only after WILL ENCRYPT has been
// refused, so a shell prompt proves the negotiation was answered right.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <memory>

#include "core/settings/memory_settings_backend.h"
#include "program_under_xvfb.h"
#include "scripted_server.h"
#include "telnetd_server.h"
#include "ui/app/application.h"
#include "ui/terminal/terminal_view.h"

namespace quill::test {
namespace {

std::string ScreenText(const ScreenView& screen) {
    std::string text;
    for (int r = 0; r < screen.Geometry().screenRows; ++r) {
        for (int c = 0; c < screen.Geometry().columns; ++c) {
            text.push_back(static_cast<char>(screen.CharAt(screen.FirstScreenRow() + r, c)));
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

void PressKey(QWidget& view, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &press);
}

class RealTelnetdTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const QString missing = TelnetdServer::Missing();
        if (!missing.isEmpty()) GTEST_SKIP() << missing.toStdString();
        ASSERT_TRUE(server.Start());
        store.WriteSetting("Settings", "autoexit", "1");
        hooks.window.messageBox = [this](QWidget*, const QString& text, const QString&,
                                         QMessageBox::Icon) { boxes.push_back(text); };
    }

    // Starts the program against the server and waits for the shell's
    // prompt: the login went through.
    void StartShell() {
        app = std::make_unique<Application>(store, hooks);
        const std::string port = std::to_string(server.Port());
        const char* argv[] = {"quillterm", "127.0.0.1", port.c_str(), nullptr};
        ASSERT_EQ(app->StartUp(3, argv), Application::kStarted);
        ASSERT_TRUE(PumpUntil([&] { return Shows(*app, "\n# ") || Shows(*app, "\n$ "); }, 15000))
            << ScreenText(*app->Screen());
    }

    // Ends the shell; the program ends with it, quietly and with status 0.
    void ExitShell() {
        TypeInto(app->Window()->View(), "exit\n");
        ASSERT_TRUE(PumpUntil([&] { return app->QuitPosted(); }, 10000))
            << ScreenText(*app->Screen());
        EXPECT_TRUE(boxes.empty());
        EXPECT_EQ(app->MessageLoop(), 0);
    }

    TelnetdServer server;
    MemorySettingsBackend backend;
    SettingsStore store{backend};
    AppHooks hooks;
    std::vector<QString> boxes;
    std::unique_ptr<Application> app;
};

TEST_F(RealTelnetdTest, ShellCommandRunsWithTermVt100AndExitEndsTheProgram) {
    StartShell();
    TypeInto(app->Window()->View(), "echo $TERM\n");
    ASSERT_TRUE(PumpUntil([&] { return Shows(*app, "\nvt100 "); }, 10000))
        << ScreenText(*app->Screen());
    ExitShell();
}

// The extended terminal against the same server: the shell sees its type
// (xterm-256color by default, the first answer of its MTTS cycle), it takes
// NAWS and BINARY when asked, so the shell sees 80 x 24 and a typed é arrives
// whole (without binary transmission telnetd strips its top bits), and UTF-8
// comes back as Latin-1 cells. The server echoes, so local echo, though set,
// doubles nothing.
TEST_F(RealTelnetdTest, ExtendedTerminalReportsItsTypeAndSizeAndCarriesUtf8BothWays) {
    store.WriteSetting("Settings", "extended", "1");
    store.WriteSetting("Settings", "LocalEcho", "1");
    StartShell();
    QWidget& view = app->Window()->View();
    TypeInto(view, "echo $TERM; stty size; printf 'h\\303\\251llo\\n'; echo ");
    QKeyEvent eacute(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, QString(QChar(0xE9)));
    QCoreApplication::sendEvent(&view, &eacute);
    TypeInto(view, " | od -An -tx1\n");
    EXPECT_TRUE(PumpUntil([&] { return Shows(*app, "\n c3 a9"); }, 10000))
        << ScreenText(*app->Screen());
    EXPECT_TRUE(Shows(*app, "\nxterm-256color ")) << ScreenText(*app->Screen());
    EXPECT_TRUE(Shows(*app, "\n24 80 ")) << ScreenText(*app->Screen());
    EXPECT_TRUE(Shows(*app, "\nh\xe9llo ")) << ScreenText(*app->Screen());
    EXPECT_TRUE(Shows(*app, " echo $TERM; stty size;")) << ScreenText(*app->Screen());
    ExitShell();
}

// A larger window gives the extended terminal a larger grid, and the shell
// learns its size from the client at once.
TEST_F(RealTelnetdTest, ExtendedTerminalTellsTheShellItsNewSizeAfterAResize) {
    store.WriteSetting("Settings", "extended", "1");
    StartShell();
    MainWindow& window = *app->Window();
    window.resize(window.width() * 3 / 2, window.height() * 3 / 2);
    const ScreenView& screen = *app->Screen();
    ASSERT_TRUE(PumpUntil(
        [&] { return screen.Geometry().columns > 80 && screen.Geometry().screenRows > 24; }, 5000));
    const std::string size = "\n" + std::to_string(screen.Geometry().screenRows) + " " +
                             std::to_string(screen.Geometry().columns) + " ";
    TypeInto(window.View(), "stty size\n");
    EXPECT_TRUE(PumpUntil([&] { return Shows(*app, size); }, 10000)) << ScreenText(screen);
    ExitShell();
}

// An editor on the host reads the editing keys as the terminal type the
// extended terminal announces defines them: PgDn and End only move, Delete
// removes the one character under the cursor, and nothing of a key's
// sequence arrives as a command of its own (a stray '~' would flip a case).
TEST_F(RealTelnetdTest, EditorTakesTheExtendedTerminalsEditingKeys) {
    if (!QFile::exists("/usr/bin/vim")) GTEST_SKIP() << "vim is not installed";
    QTemporaryDir dir;
    const QString path = dir.filePath("hello.txt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Hello\nWorld\n");
    file.close();

    store.WriteSetting("Settings", "extended", "1");
    StartShell();
    QWidget& view = app->Window()->View();
    TypeInto(view, "vim -u NONE " + path.toStdString() + "\n");
    ASSERT_TRUE(PumpUntil([&] { return Shows(*app, "hello.txt\" 2 lines"); }, 10000))
        << ScreenText(*app->Screen());
    for (const int key : {Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End, Qt::Key_PageUp, Qt::Key_Home,
                          Qt::Key_Delete}) {
        PressKey(view, key);
    }
    TypeInto(view, ":wq\n");
    ASSERT_TRUE(PumpUntil(
        [&] {
            QFile edited(path);
            return edited.open(QIODevice::ReadOnly) && edited.readAll() == "ello\nWorld\n";
        },
        10000))
        << ScreenText(*app->Screen());
    ExitShell();
}

TEST_F(RealTelnetdTest, TheProgramTypedIntoUnderXvfbExitsWithZero) {
    if (const QString missing = ProgramUnderXvfb::Missing(); !missing.isEmpty()) {
        GTEST_SKIP() << missing.toStdString();
    }
    ProgramUnderXvfb program;
    ASSERT_TRUE(
        program.Start("[settings]\nautoexit=1\n", {"127.0.0.1", QString::number(server.Port())}));
    // The title becomes the host once connected.
    ASSERT_TRUE(program.FocusWindow("127.0.0.1"))
        << "windows on the display: " << program.Windows().toStdString();

    // The shell may not be up yet: type the command until its file appears.
    const QString termFile = program.ConfigPath("term");
    ASSERT_TRUE(PumpUntil(
        [&] {
            program.Xdotool({"type", "--delay", "20", QString("echo $TERM > %1").arg(termFile)});
            program.Xdotool({"key", "Return"});
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

    program.Xdotool({"type", "--delay", "20", "exit"});
    program.Xdotool({"key", "Return"});
    EXPECT_EQ(program.WaitForExit(), 0);
}

}  // namespace
}  // namespace quill::test
