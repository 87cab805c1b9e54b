// Typing and selecting under X with a German layout and the compose input
// method, as desktop users do: dead keys, the PRIMARY selection and the middle
// button, the paste and copy keys of Linux terminals, and Alt as Meta.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QStandardPaths>

#include "program_under_xvfb.h"
#include "scripted_server.h"

namespace quill::test {
namespace {

// The host's rows. No 'q' in them: q typed after each step marks its end.
const QByteArray kRow = QByteArray("0123456789").repeated(8).left(79);

// The cells of a stream copied from one of the host's rows (the same start
// of kRow, no line end after it), or 0 when the text is not one.
qsizetype CopiedWidth(const QByteArray& text) {
    return !text.isEmpty() && kRow.startsWith(text) ? text.size() : 0;
}

class TypingUnderXvfb : public ::testing::Test {
  protected:
    // The program's locale and input method are fixed, so that an input
    // method running on the machine cannot change what the keys give.
    void Start(const char* extended) {
        if (QString missing = ProgramUnderXvfb::Missing();
            !missing.isEmpty() || QStandardPaths::findExecutable("setxkbmap").isEmpty()) {
            GTEST_SKIP() << "Xvfb, xdotool or setxkbmap missing " << missing.toStdString();
        }
        for (const char* name : {"LC_ALL", "LC_CTYPE"}) qunsetenv(name);
        qputenv("LANG", "C.UTF-8");
        qputenv("QT_IM_MODULE", "compose");
        ASSERT_TRUE(program.Start(QByteArray("[settings]\nautoexit=1\nextended=") + extended,
                                  {"127.0.0.1", QString::number(host.Port())}));
        ASSERT_TRUE(host.WaitForClient(30000));
        ASSERT_TRUE(program.FocusWindow("127.0.0.1")) << program.Windows().toStdString();
        QString layout;
        program.Xdotool({"exec", "--sync", "setxkbmap", "de"});
        program.Xdotool({"exec", "--sync", "setxkbmap", "-query"}, &layout);
        ASSERT_TRUE(layout.contains(QRegularExpression("layout:\\s+de\\b")))
            << layout.toStdString();
        program.Xdotool({"search", "--name", "^127\\.0\\.0\\.1$"}, &window_);
        window_ = window_.section('\n', 0, 0);
    }

    // What the host receives for an xdotool command, up to the q after it.
    QByteArray SentBy(const QStringList& xdotool) {
        host.ClearReceived();
        program.Xdotool(xdotool);
        program.Xdotool({"key", "q"});
        if (!PumpUntil([this] { return host.Received().endsWith('q'); }, 15000)) return "(no q)";
        return host.Received().chopped(1);
    }
    QByteArray Keys(const QStringList& keys) { return SentBy(QStringList{"key"} + keys); }

    // Fills the screen with `rows` and waits until they are shown: the
    // extended terminal answers ESC Z as xterm does.
    void Show(const QByteArray& rows) {
        host.ClearReceived();
        host.Send("\x1b[H\x1b[2J" + rows + "\x1bZ");
        ASSERT_TRUE(PumpUntil([this] { return host.Received().endsWith("\x1b[?62;22c"); }, 15000));
    }
    // Clicks `count` times at one point of the window, below the menu bar.
    void ClickAt(int count) {
        program.Xdotool({"mousemove", "--window", window_, "100", "120", "click", "--repeat",
                         QString::number(count), "--delay", "80", "1"});
    }
    // PRIMARY once it holds `expected`, or what it last held at the deadline.
    // Every release of a multiple click sets it, so a triple click's double
    // click puts the word there before the line comes.
    QByteArray PrimaryOnceItHolds(const QByteArray& expected) {
        QByteArray text;
        PumpUntil([&] { return (text = program.Primary()) == expected; }, 15000);
        return text;
    }

    // Fills the screen with kRow and drags along a row from its first cell to
    // x pixels into the window, below the menu bar whatever the font.
    void DragTo(int x) {
        Show((kRow + "\r\n").repeated(24).chopped(2));
        program.Xdotool({"mousemove", "--window", window_, "2", "120", "mousedown", "1",
                         "mousemove", "--window", window_, QString::number(x), "120", "mouseup",
                         "1"});
    }

    ScriptedServer host;
    ProgramUnderXvfb program;
    QString window_;
};

TEST_F(TypingUnderXvfb, ExtendedTerminalComposesSelectsPastesAndTakesAltAsMeta) {
    Start("1");
    EXPECT_EQ(Keys({"dead_circumflex", "a"}), QByteArray("\xc3\xa2"));
    EXPECT_EQ(Keys({"dead_acute", "e"}), QByteArray("\xc3\xa9"));
    EXPECT_EQ(Keys({"alt+b"}), QByteArray("\x1b") + "b");

    DragTo(100);  // PRIMARY, pasted by the middle button; the highlight stays
    const qsizetype narrow = CopiedWidth(SentBy({"click", "2"}));
    EXPECT_GT(narrow, 0);
    EXPECT_EQ(Keys({"ctrl+shift+c"}), QByteArray());
    EXPECT_EQ(CopiedWidth(Keys({"ctrl+shift+v"})), narrow);
    EXPECT_EQ(CopiedWidth(Keys({"shift+Insert"})), narrow);

    DragTo(300);
    EXPECT_EQ(Keys({"alt+c"}), QByteArray());
    const qsizetype wide = CopiedWidth(Keys({"shift+Insert"}));
    EXPECT_GT(wide, narrow);
    EXPECT_EQ(CopiedWidth(SentBy({"click", "2"})), wide);
}

// What a user selects with the mouse and reads back from PRIMARY with
// xclip: a double click takes a URL whole, a triple click a line the host
// wrapped at the margin, with one LF and no CR.
TEST_F(TypingUnderXvfb, ExtendedTerminalPutsAWordOrAWrappedLineInPrimary) {
    if (QStandardPaths::findExecutable("xclip").isEmpty()) GTEST_SKIP() << "xclip missing";
    Start("1");
    const QByteArray url = "https://example.org/a-b_c.d~e/?q=1&r=%20+s#top:8@x";
    Show(("<" + url + ">, then\r\n").repeated(24).chopped(2));
    ClickAt(2);
    EXPECT_EQ(PrimaryOnceItHolds(url), url);

    const QByteArray line = QByteArray("0123456789").repeated(10);
    Show((line + "\r\n").repeated(11));
    ClickAt(3);
    EXPECT_EQ(PrimaryOnceItHolds(line + "\n"), line + "\n");
}

TEST_F(TypingUnderXvfb, PlainTerminalSendsComposedAsciiAndDropsTheRest) {
    Start("0");
    EXPECT_EQ(Keys({"dead_circumflex", "space"}), QByteArray("^"));
    EXPECT_EQ(Keys({"dead_circumflex", "a"}), QByteArray());
}

}  // namespace
}  // namespace quill::test
