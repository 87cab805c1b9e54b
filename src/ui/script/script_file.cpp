#include "ui/script/script_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quill {
namespace {

// A script is a few lines; anything this large is not one.
constexpr qint64 kLargestScript = 1 << 20;

LoadedScript Unreadable(const QString& path, const QString& reason) {
    return LoadedScript{std::nullopt, true,
                        QStringLiteral("Cannot read the script %1: %2").arg(path, reason)};
}

}  // namespace

LoadedScript LoadScript(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return Unreadable(path, QStringLiteral("there is no such file"));
    if (!info.isFile()) return Unreadable(path, QStringLiteral("it is not a file"));
    if (info.size() > kLargestScript) return Unreadable(path, QStringLiteral("it is too large"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return Unreadable(path, file.errorString());
    const QByteArray text = file.read(kLargestScript + 1);
    if (file.error() != QFileDevice::NoError) return Unreadable(path, file.errorString());
    auto parsed = ParseScript(text.toStdString(), QFile::encodeName(path).toStdString());
    if (auto* error = std::get_if<ScriptError>(&parsed)) {
        return LoadedScript{std::nullopt, false, QString::fromStdString(error->Text())};
    }
    return LoadedScript{std::get<Script>(std::move(parsed)), false, QString()};
}

QString ResolveScriptPath(const QString& path, const QString& folder) {
    return QDir(folder).absoluteFilePath(path);
}

}  // namespace quill
