#include "InstanceLock.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

namespace kt {

InstanceLock::InstanceLock(const QString& lockPath)
    : m_path(lockPath.isEmpty() ? defaultLockPath() : lockPath)
{
}

InstanceLock::~InstanceLock() = default;

QString InstanceLock::defaultLockPath()
{
    // Qt creates the folder (mode 0700) when XDG_RUNTIME_DIR is not set.
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir + QStringLiteral("/klivatarn.lock");
}

bool InstanceLock::tryAcquire()
{
    if (isHeld())
        return true;
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    m_lock = std::make_unique<QLockFile>(m_path);
    // A lock only counts as stale when its owner process is gone; never by age, since a
    // first copy may run for weeks.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return true;
    if (m_lock->error() == QLockFile::LockFailedError) {
        // The owner is alive: that is the other instance.
        m_lock.reset();
        return false;
    }
    // The lock file cannot be written at all (no runtime folder, read-only): refusing
    // to start would lock the user out for good, so run without the guard.
    m_lock.reset();
    return true;
}

bool InstanceLock::isHeld() const { return m_lock && m_lock->isLocked(); }

} // namespace kt
