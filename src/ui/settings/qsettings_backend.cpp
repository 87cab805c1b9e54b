#include "ui/settings/qsettings_backend.h"

#include <QLoggingCategory>
#include <QScopedValueRollback>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "ui/settings/settings_lock.h"

namespace quill {
namespace {

Q_LOGGING_CATEGORY(lcSettings, "quillterm.settings", QtWarningMsg)

// On Windows the setting is the unnamed value of the key
// Software\Brannock\Quillterm\<section>\<key>; elsewhere it is the key
// <key> of the INI group <section>.
QString SettingPath(const std::string& section, const std::string& key) {
    QString path = QString::fromStdString(section) + u'/' + QString::fromStdString(key);
#ifdef Q_OS_WIN
    path += u"/Default";
#endif
    return path;
}

QSettings OpenStore() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Brannock", "Quillterm");
}

// One sync writes every entry together: the file is rewritten whole under a
// lock and replaced in one step, so a reader or a second writer never sees
// part of this write.
QSettings::Status WriteInOneSync(const std::string& section,
                                 const std::vector<SettingEntry>& entries) {
    QSettings store = OpenStore();
    for (const SettingEntry& entry : entries) {
        store.setValue(SettingPath(section, entry.key), QString::fromStdString(entry.text));
    }
    store.sync();
    return store.status();
}

// The program writes names in lower case, but a file edited by hand may
// spell them in any case (the registry compares without regard to case).
QVariant FindIgnoringCase(QSettings& store, const std::string& section, const std::string& key) {
    const QString wantedGroup = QString::fromStdString(section);
    const QString wantedKey = QString::fromStdString(key);
    for (const QString& group : store.childGroups()) {
        if (group.compare(wantedGroup, Qt::CaseInsensitive) != 0) continue;
        store.beginGroup(group);
        QVariant value;
        for (const QString& name : store.childKeys()) {
            if (name.compare(wantedKey, Qt::CaseInsensitive) == 0) value = store.value(name);
        }
        store.endGroup();
        if (value.isValid()) return value;
    }
    return {};
}

}  // namespace

std::optional<std::string> QSettingsBackend::ReadText(const std::string& section,
                                                      const std::string& key) {
    QSettings store = OpenStore();
    QVariant value = store.value(SettingPath(section, key));
#ifndef Q_OS_WIN
    if (!value.isValid()) value = FindIgnoringCase(store, section, key);
#endif
    // A value written by hand without quotes, such as 10,20,30, comes back as
    // a list split at the commas.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(u',').toStdString();
    if (!value.isValid() || !value.canConvert<QString>()) return std::nullopt;
    return value.toString().toStdString();
}

QSettingsBackend::QSettingsBackend(Busy busy) : busy_(busy) {
    retry_.setInterval(kKeptRetryMs);
    QObject::connect(&retry_, &QTimer::timeout, [this] { RunKept(0); });
}

bool QSettingsBackend::WriteTexts(const std::string& section,
                                  const std::vector<SettingEntry>& entries) {
    // By value: a kept change runs after the caller has returned.
    return Update([section, entries] {
        QSettings::Status status = WriteInOneSync(section, entries);
        // A damaged file reports a format error, which hides whether the
        // write itself went through; it has been rewritten clean if so, and a
        // second write then tells.
        if (status == QSettings::FormatError) status = WriteInOneSync(section, entries);
        return status == QSettings::NoError;
    });
}

bool QSettingsBackend::Update(const std::function<bool()>& change) {
    if (holding_) return change();
    if (busy_ == Busy::kWait) {
        const SettingsLock lock(OpenStore().fileName());
        if (!lock.Held()) {
            qCWarning(lcSettings).noquote() << "Settings not written:" << lock.Failure();
            return false;
        }
        const QScopedValueRollback<bool> holding(holding_, true);
        return change();
    }
    // Behind changes kept before it, so that the store sees them in order.
    kept_.push_back(change);
    if (RunKept(0)) return true;
    retry_.start();
    return false;
}

bool QSettingsBackend::RunKept(int waitMs) {
    const SettingsLock lock(OpenStore().fileName(), waitMs);
    if (!lock.Held() && lock.Busy() && waitMs == 0) return false;
    retry_.stop();
    if (!lock.Held()) {
        qCWarning(lcSettings).noquote() << "Settings not written:" << lock.Failure();
        kept_.clear();
        return false;
    }
    const QScopedValueRollback<bool> holding(holding_, true);
    bool written = true;
    while (!kept_.empty()) {
        const std::function<bool()> change = std::move(kept_.front());
        kept_.pop_front();
        written = change();
    }
    return written;
}

bool QSettingsBackend::WriteKept() {
    return kept_.empty() || RunKept(kSettingsLockWaitMs);
}

}  // namespace quill
