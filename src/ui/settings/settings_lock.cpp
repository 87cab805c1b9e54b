#include "ui/settings/settings_lock.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QThread>

namespace quill {
namespace {

// How often a waiting writer looks at the lock again.
constexpr unsigned long kPollMs = 10;

QString LockFileName(const QString& settingsFile) {
#ifdef Q_OS_WIN
    // The store is the registry, which has no folder to put the lock in.
    Q_UNUSED(settingsFile);
    return QDir::temp().filePath(QStringLiteral("Brannock-Quillterm.update-lock"));
#else
    return settingsFile + QStringLiteral(".update-lock");
#endif
}

// QSettings guards each write of the file with a lock file of its own
// (FILE.lock), and waits for one that no live process holds until it is 30 s
// old, with no way to shorten that. Every writer of the store holds our lock
// first, so while we hold it such a file is left over from a process that
// died, or belongs to a writer that does not know our lock (an older copy of
// the program): remove it only when no process has it locked.
void RemoveLeftOverStoreLock(const QString& settingsFile) {
#ifndef Q_OS_WIN
    const QString name = settingsFile + QStringLiteral(".lock");
    if (QFileInfo::exists(name)) QLockFile(name).removeStaleLockFile();
#else
    Q_UNUSED(settingsFile);
#endif
}

// A process that takes over a stale lock first creates LOCK.rmlock, so that
// no two remove it at once, and holds it for a moment. QLockFile waits 30 s
// for one its creator left behind (killed in that moment, before it could
// name itself) with no way to shorten that: remove one that no process has
// locked once it is older than a live creator ever holds it.
void RemoveLeftOverTakeOverLock(const QString& lockName) {
    const QFileInfo info(lockName + QStringLiteral(".rmlock"));
    if (info.exists() &&
        info.lastModified().msecsTo(QDateTime::currentDateTime()) >= kSettingsLockStaleMs) {
        QLockFile(info.filePath()).removeStaleLockFile();
    }
}

}  // namespace

SettingsLock::SettingsLock(const QString& settingsFile, int waitMs)
    : name_(LockFileName(settingsFile)), waitMs_(waitMs), lock_(name_) {
    lock_.setStaleLockTime(kSettingsLockStaleMs);
    // The store's folder may not exist before its first write.
    QDir().mkpath(QFileInfo(name_).absolutePath());
    if (TakeWithin(waitMs)) RemoveLeftOverStoreLock(settingsFile);
}

// QLockFile's own wait doubles its pauses, in step for every waiter, so that
// of a dozen instances saving at once only a few get a turn within the
// bound; waiters that look again every few milliseconds all do.
bool SettingsLock::TakeWithin(int ms) {
    const QDeadlineTimer deadline(ms);
    while (!lock_.tryLock(0)) {
        if (lock_.error() != QLockFile::LockFailedError) return false;
        RemoveLeftOverTakeOverLock(name_);
        if (deadline.hasExpired()) return false;
        QThread::msleep(kPollMs);
    }
    return true;
}

QString SettingsLock::Failure() const {
    switch (lock_.error()) {
        case QLockFile::LockFailedError:
            return QStringLiteral("%1 stayed locked by another process for %2 ms")
                .arg(name_)
                .arg(waitMs_);
        case QLockFile::PermissionError:
            return QStringLiteral("no permission to create %1").arg(name_);
        default:
            return QStringLiteral("cannot create %1").arg(name_);
    }
}

}  // namespace quill
