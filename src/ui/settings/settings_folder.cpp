#include "ui/settings/settings_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace quill {

QString SettingsFolder() {
    const QString file =
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Brannock", "Quillterm")
            .fileName();
    if (QDir::isAbsolutePath(file)) return QFileInfo(file).absolutePath();
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

}  // namespace quill
