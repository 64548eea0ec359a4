#include "InstanceLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kt {
namespace {

// Never blocks, never follows a link and never leaks into a started program. O_NONBLOCK
// keeps a pipe left at the path from stalling the open.
int openLockFile(const QByteArray& path)
{
    int fd;
    do
        fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    while (fd < 0 && errno == EINTR);
    if (fd < 0 && (errno == EACCES || errno == EISDIR)) {
        // Not writable by us, or a folder: a read-only descriptor takes a flock just as well.
        do
            fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        while (fd < 0 && errno == EINTR);
    }
    return fd;
}

} // namespace

InstanceLock::InstanceLock(const QString& lockPath)
    : m_path(lockPath.isEmpty() ? defaultLockPath() : lockPath)
{
}

InstanceLock::~InstanceLock()
{
    if (m_fd >= 0)
        ::close(m_fd); // releases the lock
}

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
    const QByteArray path = QFile::encodeName(m_path);
    int fd = openLockFile(path);
    struct stat st
    {
    };
    const bool usable = fd >= 0 && ::fstat(fd, &st) == 0 && (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode));
    if (!usable && (fd >= 0 || errno != ENOENT)) {
        // Something we cannot use stands at the path (a link, a pipe, a file without
        // permission for us). The runtime folder is the user's own: put a plain file there.
        if (fd >= 0)
            ::close(fd);
        fd = ::unlink(path.constData()) == 0 ? openLockFile(path) : -1;
    }
    if (fd < 0)
        return true; // no lock to be had: run without the guard
    int locked;
    do
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(fd);
        return !held; // another holder, or a file system without locks (then run unguarded)
    }
    m_fd = fd;
    return true;
}

} // namespace kt
