#include "PackLock.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kt {
namespace {

bool takeLock(int fd, int kind)
{
    int r;
    do {
        r = ::flock(fd, kind | LOCK_NB);
    } while (r != 0 && errno == EINTR);
    return r == 0 || errno != EWOULDBLOCK;
}

} // namespace

bool lockOutput(int fd)
{
    return takeLock(fd, LOCK_EX);
}

bool lockSource(int fd)
{
    return takeLock(fd, LOCK_SH);
}

bool isBeingWritten(const QString& path)
{
    // O_NONBLOCK: a pipe in a source's place must not hang the check.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    const bool written = !lockSource(fd);
    ::close(fd); // and with it the shared lock
    return written;
}

} // namespace kt
