#pragma once

#include <QLockFile>
#include <QString>

namespace quill {

// How long a lock file no process holds stands in the way, and how long a
// writer waits for a live holder before it gives up and writes nothing.
inline constexpr int kSettingsLockStaleMs = 200;
inline constexpr int kSettingsLockWaitMs = 5000;

// The lock every read-modify-write of the per-user store holds: a lock file
// of the program's own next to the store (Quillterm.conf.update-lock). It is
// taken when made and released when destroyed.
//
// A lock file no live process holds is left over from a process that died,
// possibly before it could write its name into it, and is taken over: once it
// is more than kSettingsLockStaleMs old, or at once when it names a process
// that has ended; the same holds for the file a process taking a lock over
// holds meanwhile (Quillterm.conf.update-lock.rmlock). A live holder is never robbed, whatever the file's age:
// it keeps the file locked (flock) for as long as it holds it. Once taken, it
// also clears what a dead writer left of the lock QSettings takes around each
// write of the file (Quillterm.conf.lock), which QSettings itself would wait
// 30 s for.
class SettingsLock {
  public:
    // settingsFile: the store's file (QSettings::fileName()); waitMs: how
    // long to wait for a live holder (0: look once).
    explicit SettingsLock(const QString& settingsFile, int waitMs = kSettingsLockWaitMs);
    SettingsLock(const SettingsLock&) = delete;
    SettingsLock& operator=(const SettingsLock&) = delete;

    bool Held() const { return lock_.isLocked(); }
    // Not held because another process holds it.
    bool Busy() const { return !Held() && lock_.error() == QLockFile::LockFailedError; }
    // Why the lock is not held, for the log.
    QString Failure() const;

  private:
    bool TakeWithin(int ms);

    QString name_;
    int waitMs_;
    QLockFile lock_;
};

}  // namespace quill
