#include "ReadBack.h"

#include "base/File64.h"
#include "engine/PackTexts.h"

#include <QFile>
#include <QScopeGuard>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <new>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace kt {
namespace {

// O_DIRECT wants buffer, position and length on the storage's block size.
constexpr std::size_t kAlign = 4096;

struct AlignedDelete
{
    void operator()(char* p) const { ::operator delete[](p, std::align_val_t(kAlign)); }
};
using AlignedBuffer = std::unique_ptr<char[], AlignedDelete>;

// Up to `size` bytes at `at`. With O_DIRECT a count that is not whole blocks is the end.
File64::IoResult readPiece(int fd, char* buffer, qint64 size, qint64 at, bool direct)
{
    File64::IoResult r;
    while (r.bytes < size) {
        const ssize_t n = ::pread(fd, buffer + r.bytes, size_t(size - r.bytes), off_t(at + r.bytes));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            r.error = errno;
            break;
        }
        if (n == 0)
            break;
        r.bytes += n;
        if (direct && r.bytes % qint64(kAlign) != 0)
            break;
    }
    return r;
}

// How many leading bytes two buffers share.
qint64 samePrefix(const char* a, const char* b, qint64 size)
{
    if (std::memcmp(a, b, size_t(size)) == 0)
        return size;
    qint64 i = 0;
    while (a[i] == b[i])
        ++i;
    return i;
}

// Whether none of the file's pages is in the page cache. A page that could not be dropped
// (another program maps or locks it) would be read from the cache, not from the storage.
bool cacheEmpty(int fd, qint64 size)
{
    if (size <= 0)
        return true;
    void* map = ::mmap(nullptr, size_t(size), PROT_READ, MAP_SHARED, fd, 0);
    if (map == MAP_FAILED)
        return false;
    const long page = ::sysconf(_SC_PAGESIZE);
    std::vector<unsigned char> resident(size_t((size + page - 1) / page));
    const bool known = ::mincore(map, size_t(size), resident.data()) == 0;
    ::munmap(map, size_t(size));
    return known && std::none_of(resident.begin(), resident.end(), [](unsigned char c) { return c & 1; });
}

} // namespace

ReadBack::ReadBack(const QString& outputPath, const FileIdentity& written)
    : m_path(outputPath), m_written(written)
{
}

JoinStep ReadBack::run(ExpectedOutput& expected, const std::function<bool(quint64)>& goOn)
{
    const int fd =
        ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return JoinStep::failure(errno == ENOENT ? texts::outputDeleted(m_path)
                                                 : texts::cannotReadBack(m_path, texts::errnoText(errno)));
    const auto closeOutput = qScopeGuard([fd] { ::close(fd); });
    const FileIdentity now = identityOfHandle(fd);
    if (!now.sameFile(m_written))
        return JoinStep::failure(texts::outputReplaced(m_path));
    // Every page the pack left in the cache goes (they were flushed, so they are clean); what is
    // read afterwards, read-ahead included, comes from the storage.
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    bool direct = !cacheEmpty(fd, now.size) && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_DIRECT) == 0;
    if (!direct)
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);

    const AlignedBuffer actual(
        static_cast<char*>(::operator new[](size_t(kPiece), std::align_val_t(kAlign))));
    const std::unique_ptr<char[]> wanted(new char[size_t(kPiece)]);
    quint64 checked = 0;
    for (;;) {
        const File64::IoResult read = readPiece(fd, actual.get(), kPiece, qint64(checked), direct);
        if (direct && read.error == EINVAL) {
            // The storage wants another alignment: the rest through the cache, emptied again.
            direct = false;
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_DIRECT);
            ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
            continue;
        }
        if (read.error != 0)
            return JoinStep::failure(texts::cannotReadBack(m_path, texts::errnoText(read.error)));
        qint64 want = 0;
        const JoinStep made = expected.next(wanted.get(), kPiece, want);
        if (!made.go())
            return made;
        const qint64 same = samePrefix(actual.get(), wanted.get(), qMin(read.bytes, want));
        if (same < want || read.bytes != want)
            return JoinStep::failure(texts::outputDiffers(m_path, checked + quint64(same)));
        checked += quint64(want);
        if (!goOn(checked))
            return JoinStep::stopped(texts::checkCancelled(m_path));
        if (want < kPiece)
            return JoinStep::next();
    }
}

} // namespace kt
