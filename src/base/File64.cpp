#include "File64.h"

#include "base/TextUtils.h"
#include "platform/MessageBox.h"

#include <QCoreApplication>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kt {
namespace {

// One stack of open handles for the whole program: CloseAllFiles on any object closes every
// file the program has open, which is how a cancelled or failed pack lets go of its files.
// Only File64 reads it, to close; it keeps no outcome for anyone to look up afterwards. Each
// entry remembers the object that opened it: descriptors are reused at once on POSIX, so a
// bare number could name another object's file by the time a destructor looks for it.
struct OpenEntry
{
    File64::Handle handle;
    const File64* owner;
};
QVector<OpenEntry> g_openHandles;

constexpr int kStopTopmost = MB_ICONHAND | MB_TOPMOST;
static_assert(kStopTopmost == File64::kOpenErrorStyle);

void sayNoOpenFile()
{
    MsgBox(QCoreApplication::translate("kt::File64", "There is no open file."), kStopTopmost);
}

qsizetype findEntry(File64::Handle h, const File64* owner = nullptr)
{
    for (qsizetype i = g_openHandles.size() - 1; i >= 0; --i) {
        const OpenEntry& e = g_openHandles.at(i);
        if (e.handle == h && (!owner || e.owner == owner))
            return i;
    }
    return -1;
}

} // namespace

QString unexpectedErrorText(int number, const QString& description)
{
    return QCoreApplication::translate(
               "kt::File64",
               "Unexpected error. It may be a bug or an unexpected error has occur! Please quit and "
               "restart Vantu Kliva TARN.\r\nIf the problem persists, please submit a bug report "
               "immediately.\r\n\r\nError %1: '%2'  detected.")
        .arg(number)
        .arg(description);
}

File64::~File64()
{
    // Close what this object still holds; a handle already closed through the stack is left alone.
    const qsizetype at = m_handle == kInvalidHandle ? -1 : findEntry(m_handle, this);
    if (at >= 0) {
        ::close(m_handle);
        g_openHandles.remove(at);
    }
}

bool File64::checkOpen() const
{
    if (m_handle == kInvalidHandle) {
        sayNoOpenFile();
        return false;
    }
    return true;
}

File64::Handle File64::FileHandle() const
{
    checkOpen();
    return m_handle;
}

bool File64::IsOpen() const
{
    return m_handle != kInvalidHandle;
}

QString File64::openErrorText(const OpenResult& result)
{
    return QCoreApplication::translate("kt::File64", "Error opening %1!").arg(quotedName(result.path));
}

File64::OpenResult File64::OpenFile(const QString& sFileName, const QString& sRW)
{
    int access;
    int create = O_CREAT; // "open always": a missing file is created, none is truncated
    if (sRW == kReadWrite) {
        access = O_RDWR;
    } else if (sRW == kCreateNew) {
        access = O_RDWR;
        create = O_CREAT | O_EXCL | O_NOFOLLOW;
    } else if (sRW == kReadOnly) {
        access = O_RDONLY;
    } else if (sRW == kReadOnlyExisting) {
        access = O_RDONLY;
        create = 0;
    } else {
        access = -1;
    }

    Handle fd = kInvalidHandle;
    int openErrno = 0;
    if (access != -1 && !sFileName.isEmpty()) {
        const QByteArray native = QFile::encodeName(sFileName);
        // O_NONBLOCK keeps a FIFO from blocking the open; it is cleared again for regular files.
        do {
            fd = ::open(native.constData(), access | create | O_CLOEXEC | O_NONBLOCK, 0666);
        } while (fd < 0 && errno == EINTR);
        openErrno = fd < 0 ? errno : 0;
        if (fd >= 0) {
            struct stat st = {};
            if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode) || S_ISFIFO(st.st_mode) ||
                S_ISSOCK(st.st_mode)) {
                openErrno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
                ::close(fd);
                fd = kInvalidHandle;
            } else {
                ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
            }
        }
    } else {
        openErrno = sFileName.isEmpty() ? ENOENT : EINVAL;
    }

    m_handle = fd;
    const qint32 code = fd != kInvalidHandle ? kOpenOk : access == -1 ? kOpenUnexpected : kOpenFailed;
    g_openHandles.append({fd, this}); // also -1 after a failure, so that closes stay paired
    return {sFileName, code, openErrno};
}

void File64::DiscardFailedOpen()
{
    if (m_handle == kInvalidHandle && !g_openHandles.isEmpty() &&
        g_openHandles.last().handle == kInvalidHandle)
        g_openHandles.removeLast();
}

int File64::CloseFile(Handle hFile)
{
    int error = 0;
    if (hFile == kInvalidHandle)
        sayNoOpenFile();
    // Only a descriptor on the stack is ours to close: closing any other number (one closed
    // twice, say) could close a file some other part of the process has open. The entry of
    // the handle closed is dropped; closing in reverse order makes that the most recent.
    const qsizetype at = findEntry(hFile);
    if (at >= 0) {
        // No retry on EINTR: the descriptor is gone either way on Linux.
        if (hFile != kInvalidHandle && ::close(hFile) != 0)
            error = errno;
        g_openHandles.remove(at);
    }
    return error;
}

void File64::CloseAllFiles()
{
    checkOpen();
    CloseAllHandles();
    m_handle = kInvalidHandle;
}

void File64::CloseAllHandles()
{
    while (!g_openHandles.isEmpty()) {
        const Handle h = g_openHandles.takeLast().handle; // most recent first
        if (h != kInvalidHandle)
            ::close(h);
    }
}

void File64::SeekAbsolute(qint32 HighPos, qint32 LowPos)
{
    checkOpen();
    const qint64 pos = (qint64(HighPos) << 32) | qint64(quint32(LowPos));
    ::lseek(m_handle, pos, SEEK_SET);
}

void File64::WriteBytes(Handle FileHandle, const QByteArray& bytes, qint32& BytesWritten)
{
    if (FileHandle == kInvalidHandle)
        return;
    const IoResult r = WriteBlock(FileHandle, bytes.constData(), bytes.size());
    BytesWritten = qint32(r.bytes);
}

File64::IoResult File64::ReadBlock(Handle h, char* buffer, qint64 size)
{
    IoResult r;
    while (r.bytes < size) {
        const ssize_t n = ::read(h, buffer + r.bytes, size_t(size - r.bytes));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            r.error = errno;
            break;
        }
        if (n == 0)
            break; // end of file
        r.bytes += n;
    }
    return r;
}

File64::IoResult File64::WriteBlock(Handle h, const char* data, qint64 size)
{
    IoResult r;
    while (r.bytes < size) {
        const ssize_t n = ::write(h, data + r.bytes, size_t(size - r.bytes));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            r.error = errno;
            break;
        }
        if (n == 0) {
            r.error = ENOSPC;
            break;
        }
        r.bytes += n;
    }
    return r;
}

File64::IoResult File64::CopyBlock(Handle in, Handle out, qint64 size, qint64 inPosition)
{
    // A block that starts inside a 64 KiB unit of the input first moves the bytes up to the
    // unit's end, so the large call starts on a unit boundary: blocks like 1,000,000 bytes
    // cost a fifth more CPU time than cat otherwise (see bench/join).
    constexpr qint64 kUnit = 64 * 1024;
    const qint64 start = inPosition >= 0 ? inPosition : ::lseek(in, 0, SEEK_CUR);
    IoResult r;
    while (r.bytes < size) {
        const qint64 left = size - r.bytes;
        qint64 want = left;
        if (start >= 0) {
            const qint64 toBoundary = (kUnit - (start + r.bytes) % kUnit) % kUnit;
            if (toBoundary > 0 && toBoundary < left)
                want = toBoundary;
        }
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, size_t(want), 0);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            r.error = errno;
            break;
        }
        if (n == 0)
            break; // end of the input
        r.bytes += n;
    }
    return r;
}

int File64::OpenHandleCount()
{
    return int(g_openHandles.size());
}

} // namespace kt
