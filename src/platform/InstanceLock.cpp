#include "InstanceLock.h"

#include <QCoreApplication>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kt {
namespace {

struct Lock
{
    Q_DECLARE_TR_FUNCTIONS(kt::Lock)
};

int retryOpen(const char* path, int flags, mode_t mode = 0)
{
    int fd;
    do
        fd = ::open(path, flags | O_CLOEXEC, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The folder itself, never what a link there points to, and only when this user owns it.
RuntimeFolder openOwnedFolder(const QString& path, int& fd, struct stat& st)
{
    fd = retryOpen(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    if (fd < 0) {
        const int error = errno;
        // O_NOFOLLOW on a link gives ELOOP, O_DIRECTORY on one ENOTDIR: name the cause.
        struct stat lst
        {
        };
        const bool link = ::lstat(QFile::encodeName(path).constData(), &lst) == 0 && S_ISLNK(lst.st_mode);
        return {{}, QStringLiteral("'%1': %2").arg(path, link ? Lock::tr("a link") : errnoText(error))};
    }
    if (::fstat(fd, &st) != 0 || st.st_uid != ::getuid()) {
        ::close(fd);
        fd = -1;
        return {{}, Lock::tr("'%1': owned by another user").arg(path)};
    }
    return {path, {}};
}

// Never blocks, never follows a link and never leaks into a started program. O_NONBLOCK
// keeps a pipe left at the path from stalling the open.
int openLockFile(const QByteArray& path)
{
    int fd = retryOpen(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0 && (errno == EACCES || errno == EISDIR)) // a read-only descriptor takes a flock too
        fd = retryOpen(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK);
    return fd;
}

// A plain file or folder of this user: anything else at the path is not our lock.
bool ownLockFile(int fd)
{
    struct stat st
    {
    };
    return ::fstat(fd, &st) == 0 && (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)) && st.st_uid == ::getuid();
}

} // namespace

RuntimeFolder checkedPrivateFolder(const QString& path)
{
    int fd = -1;
    struct stat st
    {
    };
    RuntimeFolder folder = openOwnedFolder(path, fd, st);
    if (fd < 0)
        return folder;
    ::close(fd);
    if ((st.st_mode & 07777) != 0700)
        return {{}, Lock::tr("'%1': open to other users").arg(path)};
    return folder;
}

RuntimeFolder privateRuntimeFolder(const QString& systemFolder, const QString& home)
{
    if (checkedPrivateFolder(systemFolder).problem.isEmpty())
        return {systemFolder, {}};
    if (!home.startsWith(QLatin1Char('/')))
        return {{}, Lock::tr("no home folder")};
    const QString path = home + QStringLiteral("/.klivatarn");
    if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST)
        return {{}, QStringLiteral("'%1': %2").arg(path, errnoText(errno))};
    int fd = -1;
    struct stat st
    {
    };
    const RuntimeFolder folder = openOwnedFolder(path, fd, st);
    if (fd < 0)
        return folder;
    // Ours: whatever the umask or the user did to its mode, it is private from now on.
    const bool fixed = (st.st_mode & 07777) == 0700 || ::fchmod(fd, 0700) == 0;
    const int error = errno;
    ::close(fd);
    return fixed ? folder : RuntimeFolder{{}, QStringLiteral("'%1': %2").arg(path, errnoText(error))};
}

RuntimeFolder privateRuntimeFolder()
{
    const uid_t uid = ::getuid();
    const struct passwd* user = ::getpwuid(uid);
    return privateRuntimeFolder(QStringLiteral("/run/user/%1").arg(uid),
                                user ? QFile::decodeName(user->pw_dir) : QString());
}

InstanceLock::InstanceLock(const QString& folder)
    : m_path(folder.isEmpty() ? QString() : folder + QStringLiteral("/klivatarn.lock"))
{
}

InstanceLock::~InstanceLock()
{
    if (m_fd >= 0)
        ::close(m_fd); // releases the lock
}

InstanceLock::State InstanceLock::tryAcquire()
{
    if (isHeld())
        return State::Held;
    if (m_path.isEmpty())
        return State::Unavailable;
    const QByteArray path = QFile::encodeName(m_path);
    int fd = -1;
    for (int attempt = 0; attempt < 3 && fd < 0; ++attempt) {
        fd = openLockFile(path);
        if (fd < 0 && errno == ENOENT)
            break; // no folder
        if (fd >= 0 && ownLockFile(fd))
            break;
        // Something we cannot use stands at the path (a link, a pipe, a file of another user
        // or without permission for us). The folder is ours: make room for a file of our own.
        if (fd >= 0)
            ::close(fd);
        fd = -1;
        if (::unlink(path.constData()) != 0 && errno != ENOENT)
            break;
    }
    if (fd < 0)
        return State::Unavailable;
    int locked;
    do
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(fd);
        return held ? State::HeldByOther : State::Unavailable;
    }
    m_fd = fd;
    return State::Held;
}

} // namespace kt
