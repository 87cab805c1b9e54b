// Links in the real window: Ctrl over a link underlines it and shows its
// target, Ctrl+click hands web links to the desktop (a handler of the
// test's own records them, and on X11 the desktop's own opener) and telnet
// links to a new instance, and other schemes to nobody. Which text is a link is the core's business, tested there.
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <QUrl>
#include <string>
#include <vector>

#include "session_fixture.h"
#include "ui/app/main_window.h"
#include "ui/terminal/terminal_view.h"

namespace quill::test {
namespace {

class DesktopRecorder : public QObject {
    Q_OBJECT
  public slots:
    void Open(const QUrl& url) { opened.push_back(url.toString().toStdString()); }

  public:
    std::vector<std::string> opened;
};

constexpr const char* kRecordedSchemes[] = {"http", "https", "file", "javascript"};

class LinksTest : public SessionTest {
  protected:
    LinksTest() {
        for (const char* scheme : kRecordedSchemes) {
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &desktop, "Open");
        }
    }
    ~LinksTest() override {
        for (const char* scheme : kRecordedSchemes) {
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
        }
    }

    // The middle of the first cell of `text` on the window.
    QPointF On(const std::string& text) {
        const ScreenGeometry& grid = app->Screen()->Geometry();
        const QSize size = Window().View().sizeHint();
        const double width = static_cast<double>(size.width()) / grid.columns;
        const double height = static_cast<double>(size.height()) / grid.screenRows;
        for (int row = 0; row < grid.screenRows; ++row) {
            const std::size_t column = WindowRow(row).find(text);
            if (column != std::string::npos) {
                return {(static_cast<double>(column) + 0.5) * width, (row + 0.5) * height};
            }
        }
        ADD_FAILURE() << text << " is not on the window";
        return {};
    }
    void Mouse(QEvent::Type type, QPointF at, Qt::KeyboardModifiers modifiers) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
        QMouseEvent event(type, at, Window().View().mapToGlobal(at), button, held, modifiers);
        QCoreApplication::sendEvent(&Window().View(), &event);
    }
    void Key(QEvent::Type type, Qt::KeyboardModifiers modifiers) {
        QKeyEvent event(type, Qt::Key_Control, modifiers);
        QCoreApplication::sendEvent(&Window().View(), &event);
    }
    void Click(const std::string& text, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        Mouse(QEvent::MouseButtonPress, On(text), modifiers);
        Mouse(QEvent::MouseButtonRelease, On(text), modifiers);
    }

    DesktopRecorder desktop;
};

TEST_F(LinksTest, CtrlClickOpensWebLinksOnTheDesktopAndTelnetLinksInANewInstance) {
    SetSetting("extended", "1");
    Connect();
    ASSERT_TRUE(
        FromHost("go http://printed.example/x.\r\n"
                 "\x1b]8;;https://declared.example/\aDeclared\x1b]8;;\a "
                 "\x1b]8;;javascript:alert(1)\aScript\x1b]8;;\x1b\\ "
                 "\x1b]8;;file:///etc/passwd\aFile\x1b]8;;\a telnet://bbs.example:2323\r\n",
                 "bbs"));

    // With Ctrl held the view follows the pointer; over a link it
    // underlines it and shows where it leads, until Ctrl is let go.
    Key(QEvent::KeyPress, Qt::NoModifier);
    Mouse(QEvent::MouseMove, On("printed"), Qt::ControlModifier);
    EXPECT_TRUE(Window().View().LinkUnderline());
    EXPECT_EQ(QToolTip::text(), QStringLiteral("http://printed.example/x"));
    Key(QEvent::KeyRelease, Qt::ControlModifier);
    EXPECT_FALSE(Window().View().LinkUnderline());
    EXPECT_FALSE(Window().View().hasMouseTracking());

    // Without Ctrl a click selects; with it, the link opens.
    Click("printed", Qt::NoModifier);
    EXPECT_TRUE(desktop.opened.empty());
    for (const char* text : {"printed", "Declared", "Script", "File", "bbs"}) Click(text);
    EXPECT_EQ(desktop.opened,
              (std::vector<std::string>{"http://printed.example/x", "https://declared.example/"}));
    EXPECT_EQ(launches, (std::vector<std::optional<std::string>>{"telnet://bbs.example:2323"}));
}

// On X11 nothing of the test's stands in between: a web link reaches the
// desktop's opener, here a private xdg-open first on the PATH that records
// what it is given.
TEST_F(LinksTest, CtrlClickHandsAWebLinkToTheDesktopsOpener) {
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        GTEST_SKIP() << "the desktop's opener is the X11 platform's";
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QTemporaryDir bin;
    const QString record = bin.filePath(QStringLiteral("opened"));
    QFile opener(bin.filePath(QStringLiteral("xdg-open")));
    ASSERT_TRUE(opener.open(QIODevice::WriteOnly));
    opener.write("#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"$(dirname \"$0\")/opened\"\n");
    opener.close();
    opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit() + ':' + path);

    SetSetting("extended", "1");
    Connect();
    ASSERT_TRUE(FromHost("\x1b]8;;https://declared.example/\aDeclared\x1b]8;;\a\r\n", "Declared"));
    Click("Declared");
    const auto recorded = [&] {
        QFile file(record);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    EXPECT_TRUE(PumpUntil([&] { return !recorded().isEmpty(); }, 10000));
    qputenv("PATH", path);
    EXPECT_EQ(recorded(), QByteArray("https://declared.example/\n"));
}

}  // namespace
}  // namespace quill::test

#include "test_links.moc"
