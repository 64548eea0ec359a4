#include "OutputFile.h"

#include "engine/PackLock.h"
#include "engine/PackTexts.h"
#include "engine/SameFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <climits>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace kt {
namespace {

constexpr int kRetryCancelStop = MB_RETRYCANCEL | MB_ICONHAND; // 0x15

// How often a name taken again between the deletion and the creation goes back through the
// deletion before the pack gives up: a program that keeps making it wins in the end.
constexpr int kTakenRetries = 5;

// Errors a user can do something about before Retry: free space, permissions, a file in use.
bool isAccessProblem(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY:
    case ETXTBSY:
    case ENOSPC:
    case EDQUOT:
    case EISDIR:
    case EEXIST:
        return true;
    default:
        return false;
    }
}

// The kernel's own file systems: their files look regular, but writing one changes the system.
bool isKernelFileSystem(const QByteArray& native)
{
    struct statfs fs = {};
    if (::statfs(native.constData(), &fs) != 0)
        return false;
    switch (fs.f_type) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case BPF_FS_MAGIC:
    case EFIVARFS_MAGIC:
        return true;
    default:
        return false;
    }
}

// A link that lives in, or leads through, the kernel's file systems (/dev/fd/1, or /dev/stdout
// -> /proc/self/fd/1) names whatever that entry stands for at the moment, even a regular file.
bool leadsThroughKernelFileSystem(QByteArray hop)
{
    for (int hops = 0; hops < 40; ++hops) { // the kernel's own limit on links in a row
        struct stat st = {};
        char target[PATH_MAX];
        if (::lstat(hop.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return false;
        const qsizetype slash = hop.lastIndexOf('/');
        if (isKernelFileSystem(slash <= 0 ? QByteArray("/") : hop.left(slash)))
            return true;
        const ssize_t length = ::readlink(hop.constData(), target, sizeof target);
        if (length <= 0 || size_t(length) >= sizeof target)
            return false;
        QByteArray next(target, length);
        if (!next.startsWith('/'))
            next.prepend(hop.left(slash + 1));
        hop = next;
    }
    return false;
}

} // namespace

QString outputNotRegular(const QString& outputPath)
{
    const QByteArray native = QFile::encodeName(outputPath);
    struct stat st = {};
    if (outputPath.isEmpty() || ::lstat(native.constData(), &st) != 0)
        return {};
    const bool link = S_ISLNK(st.st_mode);
    if (link && ::stat(native.constData(), &st) != 0)
        return {}; // a link to nothing is replaced like a file; its target is never created
    QString kind;
    if (S_ISCHR(st.st_mode))
        kind = QCoreApplication::translate("kt::OutputFile", "a character device");
    else if (S_ISBLK(st.st_mode))
        kind = QCoreApplication::translate("kt::OutputFile", "a block device");
    else if (S_ISFIFO(st.st_mode))
        kind = QCoreApplication::translate("kt::OutputFile", "a pipe");
    else if (S_ISSOCK(st.st_mode))
        kind = QCoreApplication::translate("kt::OutputFile", "a socket");
    else if (S_ISREG(st.st_mode) &&
             (isKernelFileSystem(native) || (link && leadsThroughKernelFileSystem(native))))
        kind = QCoreApplication::translate("kt::OutputFile", "a file of the kernel");
    else if (S_ISDIR(st.st_mode) && link) // a folder itself is answered by the open, as always
        kind = QCoreApplication::translate("kt::OutputFile", "a folder");
    return kind.isEmpty() ? QString() : texts::outputNotRegular(outputPath, kind, link);
}

OutputFile::OutputFile(const QString& path, const QStringList& sources, File64& file)
    : m_path(path), m_sources(sources), m_file(file)
{
}

JoinStep OutputFile::prepare()
{
    for (int taken = 0; taken <= kTakenRetries; ++taken) {
        const JoinStep deleted = deleteExisting();
        if (!deleted.go())
            return deleted;
        bool nameTaken = false;
        const JoinStep step = open(nameTaken);
        if (!nameTaken)
            return step;
    }
    return JoinStep::failure(texts::outputNameTaken(m_path));
}

bool OutputFile::folderMissing() const
{
    return !QFileInfo(QFileInfo(m_path).absolutePath()).isDir();
}

bool OutputFile::createFolder() const
{
    return QDir().mkpath(QFileInfo(m_path).absolutePath());
}

JoinStep OutputFile::deleteExisting()
{
    const QByteArray native = QFile::encodeName(m_path);
    for (;;) {
        struct stat st = {};
        if (::lstat(native.constData(), &st) != 0)
            return JoinStep::next();
        // An existing file goes, hidden or not, so no byte of an old output survives; a
        // symbolic link is removed itself, never its target. Devices, pipes and the like stay,
        // also behind a link; a folder is left to the open, which asks.
        const QString notRegular = outputNotRegular(m_path);
        if (!notRegular.isEmpty())
            return JoinStep::failure(notRegular);
        if (!(S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)))
            return JoinStep::next();
        // An output that another pack is writing stays: it is in use.
        int error = EBUSY;
        const int held = S_ISREG(st.st_mode)
                             ? ::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)
                             : -1;
        if (held < 0 || lockOutput(held)) {
            if (::unlink(native.constData()) == 0 || errno == ENOENT)
                error = 0;
            else
                error = errno;
        }
        if (held >= 0)
            ::close(held);
        if (error == 0)
            return JoinStep::next();
        if (error == ENOTDIR)
            return JoinStep::failure(texts::notFound(m_path));
        if (!isAccessProblem(error))
            return JoinStep::failure(texts::joinUnexpectedError());
        if (MsgBox(texts::cannotOverwrite(m_path), kRetryCancelStop) != IDRETRY)
            return JoinStep::aborted();
        // Retry: try the deletion again.
    }
}

JoinStep OutputFile::open(bool& nameTaken)
{
    bool retried = false;
    for (;;) {
        if (folderMissing() && !createFolder())
            return JoinStep::failure(texts::notFound(m_path));
        if (retried && QFileInfo(m_path).isHidden())
            return JoinStep::failure(texts::hiddenOutput(m_path));
        const File64::OpenResult result = m_file.OpenFile(m_path, File64::kCreateNew);
        if (result.ok()) {
            m_handle = m_file.FileHandle();
            const JoinStep step = opened();
            if (m_handle != File64::kInvalidHandle || !step.go())
                return step;
            // Locked by another pack, and the user asked to retry.
            retried = true;
            continue;
        }
        m_file.DiscardFailedOpen();
        const int error = result.error;
        if (error == EEXIST) {
            // Made again since the deletion (perhaps a link planted there): delete it again. A
            // folder is answered below, as before; anything else is never replaced.
            const QString notRegular = outputNotRegular(m_path);
            if (!notRegular.isEmpty())
                return JoinStep::failure(notRegular);
            if (!QFileInfo(m_path).isDir()) {
                nameTaken = true;
                return JoinStep::next();
            }
        }
        MsgBox(File64::openErrorText(result), File64::kOpenErrorStyle);
        if (result.code != File64::kOpenFailed)
            return JoinStep::failure(texts::joinUnexpectedError());
        if (error == ENOENT && folderMissing())
            continue; // the folder went away in between: create it again
        if (error == ENOENT || error == ENOTDIR)
            return JoinStep::failure(texts::notFound(m_path));
        if (isTooManyFiles(error))
            return JoinStep::failure(texts::tooManyFiles(m_sources.isEmpty() ? m_path : m_sources.first()));
        if (!isAccessProblem(error))
            return JoinStep::failure(texts::joinUnexpectedError());
        if (MsgBox(texts::cannotOverwrite(m_path), kRetryCancelStop) != IDRETRY)
            return JoinStep::aborted();
        retried = true;
    }
}

// The file just made: locked before anything is cut, so another pack's output is never
// touched; cut to nothing when someone wrote to it before the lock, but never when it turns
// out to be a source. A lock held by another pack asks Retry/Cancel (the handle is then -1).
JoinStep OutputFile::opened()
{
    if (lockOutput(m_handle)) {
        const FileIdentity out = identityOfHandle(m_handle);
        for (const QString& source : m_sources) {
            if (out.sameFile(identityOfPath(source))) {
                m_file.CloseFile(m_handle);
                m_handle = File64::kInvalidHandle;
                return JoinStep::failure(texts::outputIsSource(m_path));
            }
        }
        if (out.size == 0 || ::ftruncate(m_handle, 0) == 0)
            return JoinStep::next();
    }
    m_file.CloseFile(m_handle);
    m_handle = File64::kInvalidHandle;
    if (MsgBox(texts::cannotOverwrite(m_path), kRetryCancelStop) != IDRETRY)
        return JoinStep::aborted();
    return JoinStep::next();
}

JoinStep OutputFile::flush()
{
    if (::fsync(m_handle) != 0)
        return JoinStep::failure(texts::cannotFlush(m_path, texts::errnoText(errno)));
    return JoinStep::next();
}

// Success only for the file that is really there: the path still names the file written,
// which still has a name, at the full size.
JoinStep OutputFile::checkWritten(quint64 expectedSize)
{
    const FileIdentity written = identityOfHandle(m_handle);
    const FileIdentity named = identityOfPath(m_path);
    if (!named.exists || written.links == 0)
        return JoinStep::failure(texts::outputDeleted(m_path));
    if (!written.sameFile(named))
        return JoinStep::failure(texts::outputReplaced(m_path));
    if (written.regular && written.size != qint64(expectedSize))
        return JoinStep::failure(
            texts::outputWrongSize(m_path, quint64(qMax<qint64>(written.size, 0)), expectedSize));
    return JoinStep::next();
}

JoinStep OutputFile::close()
{
    const int error = m_file.CloseFile(m_handle);
    m_handle = File64::kInvalidHandle;
    if (error != 0)
        return JoinStep::failure(texts::cannotClose(m_path, texts::errnoText(error)));
    return JoinStep::next();
}

// The folder entry of a new file, or a crash could leave neither output nor sources. A folder
// this user may write to but not read (mode -wx) cannot be opened for that: the output's whole
// file system is flushed instead.
JoinStep OutputFile::flushFolder()
{
    const QString folder = QFileInfo(m_path).absolutePath();
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int error = fd < 0 ? errno : 0;
    if (fd >= 0) {
        if (::fsync(fd) != 0 && errno != EINVAL)
            error = errno;
        ::close(fd);
    } else if (error == EACCES || error == EPERM) {
        error = ::syncfs(m_handle) == 0 ? 0 : errno;
    }
    if (error != 0)
        return JoinStep::failure(texts::cannotFlush(m_path, texts::errnoText(error)));
    return JoinStep::next();
}

} // namespace kt
