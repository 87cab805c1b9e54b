#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

namespace quill {

// A message box with an OK button: owned by `owner`, or a window of its own
// when there is none.
using MessageBoxFunction = std::function<void(QWidget* owner, const QString& text,
                                              const QString& title, QMessageBox::Icon icon)>;

// Shows the box and returns when the user has dismissed it.
void ShowMessageBox(QWidget* owner, const QString& text, const QString& title,
                    QMessageBox::Icon icon);

}  // namespace quill
