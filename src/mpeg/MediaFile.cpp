#include "MediaFile.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kt {

MediaFile::MediaFile(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    // O_NONBLOCK: opening a pipe for reading would otherwise wait for a writer.
    do
        m_fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    while (m_fd < 0 && errno == EINTR);
    if (m_fd < 0) {
        m_error = path.isEmpty() ? ENOENT : errno;
        return;
    }
    struct stat st
    {
    };
    if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        m_error = S_ISDIR(st.st_mode) ? EISDIR : ENODEV;
        ::close(m_fd);
        m_fd = -1;
        return;
    }
    ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) & ~O_NONBLOCK);
    m_size = quint64(st.st_size);
}

MediaFile::~MediaFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

qint64 MediaFile::read(quint64 offset, char* buffer, qint64 count) const
{
    qint64 done = 0;
    while (m_fd >= 0 && done < count) {
        const ssize_t n = ::pread(m_fd, buffer + done, size_t(count - done), off_t(offset + quint64(done)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

QByteArray MediaFile::read(quint64 offset, qint64 count) const
{
    count = offset < m_size ? std::min<qint64>(count, qint64(m_size - offset)) : 0;
    QByteArray bytes(qsizetype(std::max<qint64>(count, 0)), Qt::Uninitialized);
    bytes.truncate(qsizetype(read(offset, bytes.data(), count)));
    return bytes;
}

FileWindow::FileWindow(const MediaFile& file, quint64 end) : m_file(file), m_end(std::min(end, file.size()))
{
}

const uchar* FileWindow::at(quint64 pos, qint64 need)
{
    if (need < 0 || pos > m_end || quint64(need) > m_end - pos)
        return nullptr;
    if (pos < m_start || pos + quint64(need) > m_start + quint64(m_filled)) {
        const qint64 want = qint64(std::min<quint64>(std::max(need, kWindowSize), m_end - pos));
        if (m_buffer.size() < want)
            m_buffer.resize(qsizetype(want));
        m_start = pos;
        m_filled = m_file.read(pos, m_buffer.data(), want);
        if (m_filled < need)
            return nullptr;
    }
    return reinterpret_cast<const uchar*>(m_buffer.constData()) + (pos - m_start);
}

} // namespace kt
