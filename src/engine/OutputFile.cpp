#include "OutputFile.h"

#include "engine/PackTexts.h"
#include "engine/SameFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kt {
namespace {

constexpr int kRetryCancelStop = MB_RETRYCANCEL | MB_ICONHAND; // 0x15

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

// One writer per output: the lock lives as long as the descriptor, and the kernel drops it
// when its holder dies. False when another pack holds it.
bool lockOutput(int fd)
{
    int r;
    do {
        r = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (r != 0 && errno == EINTR);
    return r == 0 || errno != EWOULDBLOCK; // a file system without locks does not stop a pack
}

} // namespace

OutputFile::OutputFile(const QString& path, const QString& firstSource, File64& file)
    : m_path(path), m_firstSource(firstSource), m_file(file)
{
}

JoinStep OutputFile::prepare()
{
    const JoinStep deleted = deleteExisting();
    return deleted.go() ? open() : deleted;
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
        // An existing file goes, hidden or not, so no byte of an old output survives; a
        // symbolic link is removed itself, never its target. Devices, folders and pipes
        // are left to the open, which writes to a device or refuses the rest.
        if (::lstat(native.constData(), &st) != 0 || !(S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)))
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

JoinStep OutputFile::open()
{
    bool retried = false;
    for (;;) {
        if (folderMissing() && !createFolder())
            return JoinStep::failure(texts::notFound(m_path));
        if (retried && QFileInfo(m_path).isHidden())
            return JoinStep::failure(texts::hiddenOutput(m_path));
        const File64::OpenResult opened = m_file.OpenFile(m_path, File64::kReadWrite);
        if (opened.ok()) {
            m_handle = m_file.FileHandle();
            // Locked before anything is cut, so another pack's output is never touched; then
            // a file that appeared at the path since the deletion keeps none of its bytes.
            // An empty file is not cut: on ext4, cutting a file to nothing makes its close
            // write back everything written since, which the pack would wait for.
            if (lockOutput(m_handle)) {
                const FileIdentity out = identityOfHandle(m_handle);
                if (!out.regular || out.size == 0 || ::ftruncate(m_handle, 0) == 0)
                    return JoinStep::next();
            }
            m_file.CloseFile(m_handle);
            m_handle = File64::kInvalidHandle;
            if (MsgBox(texts::cannotOverwrite(m_path), kRetryCancelStop) != IDRETRY)
                return JoinStep::aborted();
            retried = true;
            continue;
        }
        MsgBox(File64::openErrorText(opened), File64::kOpenErrorStyle);
        if (opened.code != File64::kOpenFailed)
            return JoinStep::failure(texts::joinUnexpectedError());
        const int error = opened.error;
        if (error == ENOENT && folderMissing())
            continue; // the folder went away in between: create it again
        if (error == ENOENT || error == ENOTDIR)
            return JoinStep::failure(texts::notFound(m_path));
        if (isTooManyFiles(error))
            return JoinStep::failure(texts::tooManyFiles(m_firstSource.isEmpty() ? m_path : m_firstSource));
        if (!isAccessProblem(error))
            return JoinStep::failure(texts::joinUnexpectedError());
        if (MsgBox(texts::cannotOverwrite(m_path), kRetryCancelStop) != IDRETRY)
            return JoinStep::aborted();
        retried = true;
    }
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

// The folder entry of a new file, or a crash could leave neither output nor sources.
JoinStep OutputFile::flushFolder()
{
    const QString folder = QFileInfo(m_path).absolutePath();
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int error = fd < 0 ? errno : 0;
    if (fd >= 0) {
        if (::fsync(fd) != 0 && errno != EINVAL)
            error = errno;
        ::close(fd);
    }
    if (error != 0)
        return JoinStep::failure(texts::cannotFlush(m_path, texts::errnoText(error)));
    return JoinStep::next();
}

} // namespace kt
