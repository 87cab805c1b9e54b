#include "ui/dialogs/log_file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace quill {

QString SuggestedLogPath(const std::string& host, const QDateTime& at, const QString& documents) {
    QString name = QString::fromLocal8Bit(host);
    name.replace(QLatin1Char(':'), QLatin1Char('-')).replace(QLatin1Char('/'), QLatin1Char('-'));
    name += at.toString(QStringLiteral("-yyyyMMdd-HHmmss")) + QStringLiteral(".log");
    const QDir folder(!documents.isEmpty() && QDir(documents).exists() ? documents
                                                                       : QDir::homePath());
    return folder.filePath(name);
}

namespace {

const QString kTitle = QStringLiteral("Log Session");

// A log replaces FILE and FILE.timing: the question names each that exists.
// True when neither does or the user agrees.
bool MayReplace(QWidget* owner, const QString& path) {
    QStringList existing;
    for (const QString& file : {path, path + QStringLiteral(".timing")}) {
        if (QFileInfo::exists(file)) existing << QFileInfo(file).fileName();
    }
    if (existing.isEmpty()) return true;
    const QString text =
        existing.size() == 1
            ? QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(existing[0])
            : QStringLiteral("%1 and %2 already exist.\nDo you want to replace them?")
                  .arg(existing[0], existing[1]);
    return QMessageBox::warning(owner, kTitle, text, QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace

// The file dialog's own question would name only FILE; ours names both, and
// "No" offers the dialog again where the user was.
std::optional<QString> ChooseLogFile(QWidget* owner, const QString& suggested) {
    QString start = suggested;
    for (;;) {
        const QString path = QFileDialog::getSaveFileName(owner, kTitle, start, QString(), nullptr,
                                                          QFileDialog::DontConfirmOverwrite);
        if (path.isEmpty()) return std::nullopt;
        if (MayReplace(owner, path)) return path;
        start = path;
    }
}

}  // namespace quill
