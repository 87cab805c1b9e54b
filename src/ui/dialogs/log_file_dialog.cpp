#include "ui/dialogs/log_file_dialog.h"

#include <QDir>
#include <QFileDialog>

namespace quill {

QString SuggestedLogPath(const std::string& host, const QDateTime& at, const QString& documents) {
    QString name = QString::fromLocal8Bit(host);
    name.replace(QLatin1Char(':'), QLatin1Char('-')).replace(QLatin1Char('/'), QLatin1Char('-'));
    name += at.toString(QStringLiteral("-yyyyMMdd-HHmmss")) + QStringLiteral(".log");
    const QDir folder(!documents.isEmpty() && QDir(documents).exists() ? documents
                                                                       : QDir::homePath());
    return folder.filePath(name);
}

std::optional<QString> ChooseLogFile(QWidget* owner, const QString& suggested) {
    const QString path =
        QFileDialog::getSaveFileName(owner, QStringLiteral("Log Session"), suggested);
    if (path.isEmpty()) return std::nullopt;
    return path;
}

}  // namespace quill
