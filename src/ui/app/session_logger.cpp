#include "ui/app/session_logger.h"

#include <QFile>
#include <QStandardPaths>
#include <QTimer>

#include "ui/dialogs/log_file_dialog.h"

namespace quill {

namespace {

const QString kTitle = QStringLiteral("Log Session");

QString FaultText(const QString& what, const LogFault& fault) {
    return QStringLiteral("%1 %2:\n%3")
        .arg(what, QFile::decodeName(fault.path.c_str()), QString::fromLocal8Bit(fault.reason));
}

}  // namespace

SessionLogger::SessionLogger(QWidget& owner, SessionLoggerHooks hooks)
    : owner_(owner), hooks_(std::move(hooks)) {}

void SessionLogger::Toggle(const std::string& host) {
    if (log_) {
        Stop();
        return;
    }
    if (hooks_.chooseFile) {
        const QString suggested =
            SuggestedLogPath(host, QDateTime::currentDateTime(),
                             QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
        if (const std::optional<QString> path = hooks_.chooseFile(&owner_, suggested)) Start(*path);
    }
    // A menu item that is clicked flips its own mark; it shows the truth again.
    hooks_.showLogging(Logging());
}

void SessionLogger::Start(const QString& path) {
    LogFault fault;
    log_ = SessionLog::Create(QFile::encodeName(path).toStdString(), hooks_.clock, fault);
    hooks_.showLogging(Logging());
    if (!log_) {
        hooks_.messageBox(&owner_, FaultText(QStringLiteral("Cannot create"), fault), kTitle,
                          QMessageBox::Warning);
    }
}

void SessionLogger::Stop() {
    log_.reset();
    hooks_.showLogging(false);
}

void SessionLogger::Write(const std::uint8_t* bytes, int count) {
    LogFault fault;
    if (!log_->Append(bytes, static_cast<std::size_t>(count), fault)) WriteFailed(fault);
}

void SessionLogger::Flush() {
    LogFault fault;
    if (log_ && !log_->Flush(fault)) WriteFailed(fault);
}

// The log stops at once; its box waits for the event loop, after the read.
void SessionLogger::WriteFailed(const LogFault& fault) {
    Stop();
    const QString text = FaultText(QStringLiteral("Cannot write"), fault) +
                         QStringLiteral("\nThe session is no longer logged.");
    QTimer::singleShot(0, &owner_, [this, text] {
        hooks_.messageBox(&owner_, text, kTitle, QMessageBox::Warning);
    });
}

}  // namespace quill
