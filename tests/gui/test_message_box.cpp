// Boxes and windows other than the main window are dialogs: a title bar with
// a close button only, and a message box wide enough for its whole title.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QTextBrowser>
#include <QTimer>

#include "ui/resources/help_window.h"
#include "ui/resources/message_box.h"

namespace quill {
namespace {

bool DialogFlags(Qt::WindowFlags flags) {
    return (flags & Qt::WindowType_Mask) == Qt::Dialog && flags & Qt::CustomizeWindowHint &&
           flags & Qt::WindowCloseButtonHint && !(flags & Qt::WindowMinMaxButtonsHint);
}

TEST(DialogWindows, HaveOnlyACloseButtonAndMessageBoxesShowTheirTitle) {
    std::vector<std::pair<int, bool>> shown;  // width, dialog flags
    for (const QString title : {"Quillterm", ""}) {
        QTimer::singleShot(0, [&shown] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown.emplace_back(box->width(), DialogFlags(box->windowFlags()));
                box->accept();
            }
        });
        QTimer guard;  // a box that was not found would wait for ever
        guard.callOnTimeout([] {
            if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
        });
        guard.start(5000);
        ShowMessageBox(nullptr, "Connection closed", title, QMessageBox::NoIcon);
    }
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_GE(shown[0].first,
              QFontMetrics(QApplication::font()).horizontalAdvance("Quillterm") + 160);
    EXPECT_GE(shown[1].first, 200);
    EXPECT_TRUE(shown[0].second);

    HelpViewer help;
    help.Show(nullptr, HelpTopic::Index);
    EXPECT_TRUE(DialogFlags(help.Browser()->windowFlags()));
    help.Browser()->close();
}

}  // namespace
}  // namespace quill
