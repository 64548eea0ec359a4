#include "RegularFile.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kt {

int openRegularFile(const QString& path)
{
    if (path.isEmpty())
        return -1;
    const QByteArray name = QFile::encodeName(path);
    int fd;
    // O_NONBLOCK: opening a pipe for reading would otherwise wait for a writer.
    do
        fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return -1;
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    // Back to ordinary reads (O_NONBLOCK means nothing to a regular file, but say so plainly).
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

std::optional<FilePrefix> readRegularFilePrefix(const QString& path, qint64 limit)
{
    const int fd = openRegularFile(path);
    if (fd < 0)
        return std::nullopt;
    // One byte past the limit tells whether the file goes on. Read in pieces, so a small
    // file costs a small buffer whatever the limit.
    QByteArray bytes;
    constexpr qint64 kPiece = 64 * 1024;
    while (bytes.size() < limit + 1) {
        const qsizetype at = bytes.size();
        const qint64 want = std::min(kPiece, limit + 1 - at);
        bytes.resize(at + qsizetype(want));
        const ssize_t n = ::read(fd, bytes.data() + at, size_t(want));
        const int error = errno;
        bytes.resize(at + std::max<qsizetype>(n, 0));
        if (n < 0 && error == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
    }
    ::close(fd);
    FilePrefix prefix;
    prefix.whole = bytes.size() <= limit;
    bytes.truncate(qsizetype(std::min<qint64>(bytes.size(), limit)));
    prefix.bytes = std::move(bytes);
    return prefix;
}

} // namespace kt
