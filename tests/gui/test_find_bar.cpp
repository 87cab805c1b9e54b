// The find bar in the real window: the key that opens it, what typing in it
// finds, the keys that move between matches, new output searched again, an
// expression's error in the bar, and Escape. The search's rules are the
// core's, tested there.
#include <QCheckBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "session_fixture.h"
#include "ui/app/main_window.h"
#include "ui/find/find_bar.h"
#include "ui/find/find_controller.h"
#include "ui/find/scrollback_finder.h"
#include "ui/terminal/terminal_view.h"

namespace quill::test {
namespace {

class FindBarTest : public SessionTest {
  protected:
    FindBar& Bar() { return Window().Find().Bar(); }
    QLineEdit& Field() { return *Bar().findChild<QLineEdit*>(); }
    QString Count() { return Bar().findChild<QLabel*>()->text(); }
    bool CountBecomes(const QString& text) {
        return PumpUntil([&] { return Count() == text; });
    }
    void Press(QObject& to, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QCoreApplication::sendEvent(&to, &press);
    }
    bool ViewShows(const std::string& text) {
        for (int row = 0; row < 20; ++row) {
            if (WindowRow(row).find(text) != std::string::npos) return true;
        }
        return false;
    }
};

TEST_F(FindBarTest, FindsInTheHistoryMovesBetweenMatchesAndFollowsNewOutput) {
    Connect();
    QByteArray lines = "needle the oldest\r\n";
    for (int i = 0; i < 60; ++i) lines += "filler " + QByteArray::number(i) + "\r\n";
    lines += "a NEEDLE on the screen\r\n";
    ASSERT_TRUE(FromHost(lines, "a NEEDLE on the screen"));

    Press(Window().View(), Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(Bar().isVisible());
    Field().setText(QStringLiteral("needle"));
    ASSERT_TRUE(CountBecomes(QStringLiteral("1 of 2")));

    // Enter goes to the older match and scrolls the history to it; Shift+F3
    // comes back.
    Press(Field(), Qt::Key_Return);
    ASSERT_TRUE(CountBecomes(QStringLiteral("2 of 2")));
    EXPECT_TRUE(ViewShows("needle the oldest"));
    Press(Field(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_TRUE(CountBecomes(QStringLiteral("1 of 2")));

    // New output is searched again.
    ASSERT_TRUE(FromHost("one more needle\r\n", "one more needle"));
    // The current match stays on its text as newer ones arrive.
    EXPECT_TRUE(CountBecomes(QStringLiteral("2 of 3")));

    for (QCheckBox* box : Bar().findChildren<QCheckBox*>()) {
        if (box->text() == QStringLiteral("Match &case")) box->setChecked(true);
    }
    EXPECT_TRUE(CountBecomes(QStringLiteral("1 of 2")));

    Press(Field(), Qt::Key_Escape);
    EXPECT_FALSE(Bar().isVisible());
    EXPECT_TRUE(Window().Find().Finder().Matches().empty());
}

TEST_F(FindBarTest, AnExpressionsErrorShowsInTheBarNotInABox) {
    Connect();
    ASSERT_TRUE(FromHost("port Gi0/1 up\r\n", "Gi0/1"));
    Window().Find().Open();
    for (QCheckBox* box : Bar().findChildren<QCheckBox*>()) {
        if (box->text() == QStringLiteral("Regular e&xpression")) box->setChecked(true);
    }
    Field().setText(QStringLiteral("Gi0/(1"));
    EXPECT_TRUE(CountBecomes(QStringLiteral("missing closing parenthesis at 6")));
    EXPECT_TRUE(boxes.empty());
    Field().setText(QStringLiteral("gi0/\\d\\b"));
    EXPECT_TRUE(CountBecomes(QStringLiteral("1 of 1")));
}

}  // namespace
}  // namespace quill::test
