#include "ui/app/qt_services.h"

#include <QApplication>
#include <QString>

namespace quill {

Q_LOGGING_CATEGORY(lcTrace, "quillterm.trace", QtWarningMsg)

void QtServices::Beep() {
    QApplication::beep();
}

bool QtServices::TraceEnabled() const {
    return lcTrace().isDebugEnabled();
}

void QtServices::Trace(std::string_view text) {
    qCDebug(lcTrace).noquote() << QString::fromLatin1(text.data(),
                                                      static_cast<qsizetype>(text.size()));
}

void QtServices::SetTitle(std::string_view text) {
    if (titleWindow_.isNull()) return;
    titleWindow_->setWindowTitle(
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

std::string QtServices::Title() const {
    if (titleWindow_.isNull()) return {};
    return titleWindow_->windowTitle().toStdString();
}

}  // namespace quill
