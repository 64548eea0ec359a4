#pragma once
// One running copy per user: an advisory lock (flock) on a file in the user's runtime folder,
// held for the program's life.
//
// The kernel drops the lock when its holder ends, however it ends, so what the file holds
// (nothing, junk, another program's bytes) and how old it is never matter: only a live
// holder refuses a start. The runtime folder (XDG_RUNTIME_DIR) belongs to the user alone, so
// another account cannot squat the lock. The descriptor is close-on-exec, so a program that
// this one starts (a viewer, a browser) does not keep the lock after this one has ended.
#include <QString>

namespace kt {

class InstanceLock
{
public:
    // lockPath empty: "klivatarn.lock" in the user's runtime folder.
    explicit InstanceLock(const QString& lockPath = QString());
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when this object now holds the lock (or already held it), and also when no
    // lock can be taken at all (no runtime folder, a read-only one: refusing would lock the
    // user out for good); false only when another holder has it.
    bool tryAcquire();
    bool isHeld() const { return m_fd >= 0; }
    QString path() const { return m_path; }

    static QString defaultLockPath();

private:
    QString m_path;
    int m_fd = -1;
};

} // namespace kt
