#include "ui/resources/message_box.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QSpacerItem>
#include <algorithm>

#include "ui/resources/dialog_flags.h"

namespace quill {

namespace {

// The room a title bar's buttons take beside the title, and the narrowest box.
constexpr int kTitleBarButtons = 160;
constexpr int kNarrowestBox = 200;

// QMessageBox sizes itself to its layout's minimum, which takes no account of
// the title bar: a spacer across the layout keeps the whole title in view.
void KeepTitleInView(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) return;
    const int titleWidth = QFontMetrics(QApplication::font()).horizontalAdvance(box.windowTitle());
    const int width = std::max(titleWidth + kTitleBarButtons, kNarrowestBox);
    const QMargins margins = grid->contentsMargins();
    grid->addItem(new QSpacerItem(width - margins.left() - margins.right(), 0, QSizePolicy::Fixed,
                                  QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

}  // namespace

void ShowMessageBox(QWidget* owner, const QString& text, const QString& title,
                    QMessageBox::Icon icon) {
    QMessageBox box(icon, title, text, QMessageBox::Ok, owner, kDialogWindowFlags);
    KeepTitleInView(box);
    box.exec();
}

}  // namespace quill
