// The program's boxes and windows other than the main window look like
// dialogs: a title bar with a close button only, and a message box wide
// enough for its whole title.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QTextBrowser>
#include <QTimer>
#include <optional>

#include "ui/resources/help_window.h"
#include "ui/resources/message_box.h"

namespace quill {
namespace {

struct ShownBox {
    int width = 0;
    Qt::WindowFlags flags;
};

// Shows a box as the program does and reads it while it is open.
std::optional<ShownBox> Show(const QString& text, const QString& title) {
    std::optional<ShownBox> shown;
    QTimer::singleShot(0, [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = ShownBox{box->width(), box->windowFlags()};
            box->accept();
        }
    });
    // A box that stayed open would hang here; the guard ends it instead.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) modal->done(0);
    });
    guard.start(5000);
    ShowMessageBox(nullptr, text, title, QMessageBox::NoIcon);
    return shown;
}

bool DialogFlags(Qt::WindowFlags flags) {
    return flags.testFlag(Qt::Dialog) && flags.testFlag(Qt::CustomizeWindowHint) &&
           flags.testFlag(Qt::WindowTitleHint) && flags.testFlag(Qt::WindowCloseButtonHint) &&
           !(flags & Qt::WindowMinMaxButtonsHint);
}

TEST(DialogWindows, MessageBoxesShowTheirWholeTitleBesideTheButtons) {
    const QFontMetrics metrics(QApplication::font());
    const QString longTitle = "A title far longer than the text of its box";
    for (const QString& title : {QString("Quillterm"), longTitle}) {
        const auto box = Show("Connection closed", title);
        ASSERT_TRUE(box) << title.toStdString();
        EXPECT_GE(box->width, metrics.horizontalAdvance(title) + 160) << title.toStdString();
        EXPECT_TRUE(DialogFlags(box->flags)) << title.toStdString();
    }
    const auto untitled = Show("memory problem", QString());
    ASSERT_TRUE(untitled);
    EXPECT_GE(untitled->width, 200);
}

TEST(DialogWindows, TheHelpWindowHasNoMinimiseOrMaximiseButton) {
    HelpViewer help;
    help.Show(nullptr, HelpTopic::Index);
    ASSERT_NE(help.Browser(), nullptr);
    EXPECT_TRUE(DialogFlags(help.Browser()->windowFlags()));
    help.Browser()->close();
}

}  // namespace
}  // namespace quill
