#include "ui/resources/message_box.h"

namespace quill {

void ShowMessageBox(QWidget* owner, const QString& text, const QString& title,
                    QMessageBox::Icon icon) {
    QMessageBox box(icon, title, text, QMessageBox::Ok, owner);
    box.exec();
}

}  // namespace quill
