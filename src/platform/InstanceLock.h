#pragma once
// One running copy per user: a lock file in the user's runtime folder.
//
// The runtime folder (XDG_RUNTIME_DIR) belongs to the user alone, so another account
// cannot squat the lock, and QLockFile takes over the lock of a copy that crashed
// (its process no longer exists), so a crash never locks the user out.
#include <QString>

#include <memory>

class QLockFile;

namespace kt {

class InstanceLock
{
public:
    // lockPath empty: "klivatarn.lock" in the user's runtime folder.
    explicit InstanceLock(const QString& lockPath = QString());
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when this process now holds the lock (or already held it); false when
    // another live process holds it.
    bool tryAcquire();
    bool isHeld() const;
    QString path() const { return m_path; }

    static QString defaultLockPath();

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace kt
