// Typing and selecting under X as desktop users do, with a German keyboard
// layout: dead keys through the compose input method, the PRIMARY selection
// and the middle button, the paste and copy keys of Linux terminals, and Alt
// as Meta. One program start per terminal checks all its keys.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QStandardPaths>
#include <optional>

#include "program_under_xvfb.h"
#include "scripted_server.h"

namespace quill::test {
namespace {

// What each of the host's rows shows: no 'q', the key that ends each check.
const QByteArray kRow = QByteArray("0123456789").repeated(8).left(79);
const QByteArray kIdentify = "\x1bZ";
const QByteArray kIdentifyReply = "\x1b[?1;7c";

// The cells per row of a rectangle copied from the host's rows: each row of
// the text the same start of kRow, followed by CR LF. 0 when it is not one.
qsizetype CopiedWidth(const QByteArray& text) {
    if (!text.endsWith("\r\n")) return 0;
    QList<QByteArray> rows = text.chopped(2).split('\n');
    qsizetype width = 0;
    for (QByteArray& row : rows) {
        if (&row != &rows.back()) {
            if (!row.endsWith('\r')) return 0;
            row.chop(1);
        }
        if (row.isEmpty() || !kRow.startsWith(row) || (width != 0 && row.size() != width)) return 0;
        width = row.size();
    }
    return width;
}

// The program's locale and input method are fixed, so that an input method
// running on the machine cannot change what the keys give.
class TypingUnderXvfb : public ::testing::Test {
  protected:
    void SetUp() override {
        QString missing = ProgramUnderXvfb::Missing();
        if (QStandardPaths::findExecutable("setxkbmap").isEmpty()) missing = "setxkbmap is missing";
        if (!missing.isEmpty()) GTEST_SKIP() << missing.toStdString();
        for (const char* name : {"LANG", "LC_ALL", "LC_CTYPE", "QT_IM_MODULE"}) {
            saved_.push_back({name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name))
                                                                    : std::nullopt});
            qunsetenv(name);
        }
        qputenv("LANG", "C.UTF-8");
        qputenv("QT_IM_MODULE", "compose");
    }

    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            if (value)
                qputenv(name, *value);
            else
                qunsetenv(name);
        }
    }

    // Starts the program against the host in the plain or the extended
    // terminal, and gives the display a German layout.
    void Start(bool extended) {
        const QByteArray settings =
            "[settings]\nautoexit=1\nextended=" + QByteArray(extended ? "1" : "0") + "\n";
        ASSERT_TRUE(program.Start(settings, {"127.0.0.1", QString::number(host.Port())}));
        ASSERT_TRUE(host.WaitForClient(30000));
        ASSERT_TRUE(program.FocusWindow("127.0.0.1")) << program.Windows().toStdString();
        ASSERT_EQ(program.Xdotool({"exec", "--sync", "setxkbmap", "de"}), 0);
        QString query;
        program.Xdotool({"exec", "--sync", "setxkbmap", "-query"}, &query);
        ASSERT_TRUE(query.contains(QRegularExpression("layout:\\s+de\\b"))) << query.toStdString();
        ASSERT_EQ(program.Xdotool({"search", "--name", "^127\\.0\\.0\\.1$"}, &window_), 0);
        window_ = window_.section('\n', 0, 0);
    }

    // What the host receives for an xdotool command, up to the key q typed
    // after it: typed keys go out after a paste, so q ends it.
    QByteArray SentBy(const QStringList& xdotool) {
        host.ClearReceived();
        if (program.Xdotool(xdotool) != 0) return "(xdotool failed)";
        program.Xdotool({"key", "q"});
        if (!PumpUntil([this] { return host.Received().endsWith('q'); }, 15000)) {
            return "(no q): " + host.Received();
        }
        return host.Received().chopped(1);
    }
    QByteArray Keys(const QStringList& keys) { return SentBy(QStringList{"key"} + keys); }

    // Fills the screen with kRow, then drags with the left button along a
    // row from its first cell to x pixels into the window.
    void DragTo(int x) {
        QByteArray screen = "\x1b[H\x1b[2J";
        for (int row = 1; row <= 24; ++row) {
            screen += "\x1b[" + QByteArray::number(row) + ";1H" + kRow;
        }
        host.ClearReceived();
        host.Send(screen + kIdentify);
        ASSERT_TRUE(PumpUntil([this] { return host.Received().contains(kIdentifyReply); }, 15000));
        // Below the menu bar, inside the rows whatever the font.
        const QString y = "120";
        ASSERT_EQ(program.Xdotool({"mousemove", "--window", window_, "2", y, "mousedown", "1",
                                   "mousemove", "--window", window_, QString::number(x), y,
                                   "mouseup", "1"}),
                  0);
    }

    ScriptedServer host;
    ProgramUnderXvfb program;

  private:
    std::vector<std::pair<const char*, std::optional<QByteArray>>> saved_;
    QString window_;
};

TEST_F(TypingUnderXvfb, ExtendedTerminalComposesSelectsPastesAndTakesAltAsMeta) {
    Start(true);
    EXPECT_EQ(Keys({"dead_circumflex", "a"}), QByteArray("\xc3\xa2"));
    EXPECT_EQ(Keys({"dead_acute", "e"}), QByteArray("\xc3\xa9"));
    EXPECT_EQ(Keys({"alt+b"}), QByteArray("\x1b") + "b");

    // A drag sets PRIMARY and a middle-click pastes it.
    DragTo(100);
    const QByteArray primary = SentBy({"click", "2"});
    const qsizetype narrow = CopiedWidth(primary);
    EXPECT_GT(narrow, 0) << primary.toStdString();
    // The highlight stays: Ctrl+Shift+C copies it to the clipboard, sending
    // nothing; Ctrl+Shift+V and Shift+Insert paste it.
    EXPECT_EQ(Keys({"ctrl+shift+c"}), QByteArray());
    EXPECT_EQ(CopiedWidth(Keys({"ctrl+shift+v"})), narrow);
    EXPECT_EQ(CopiedWidth(Keys({"shift+Insert"})), narrow);

    // Alt+C is still Copy and sends nothing.
    DragTo(300);
    EXPECT_EQ(Keys({"alt+c"}), QByteArray());
    const qsizetype wide = CopiedWidth(Keys({"shift+Insert"}));
    EXPECT_GT(wide, narrow);
    EXPECT_EQ(CopiedWidth(SentBy({"click", "2"})), wide);

    host.Close();
    EXPECT_EQ(program.WaitForExit(), 0);
}

TEST_F(TypingUnderXvfb, PlainTerminalSendsComposedAsciiAndDropsTheRest) {
    Start(false);
    EXPECT_EQ(Keys({"dead_circumflex", "space"}), QByteArray("^"));
    EXPECT_EQ(Keys({"dead_circumflex", "a"}), QByteArray());
    host.Close();
    EXPECT_EQ(program.WaitForExit(), 0);
}

}  // namespace
}  // namespace quill::test
