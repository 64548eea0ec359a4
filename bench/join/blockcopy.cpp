// Block-copy variants of the join loop, for choosing how the join moves its blocks.
//   blockcopy METHOD BLOCK OFFSET OUTPUT SOURCE...
// METHOD: rw (read/write of whole blocks through one reused buffer), chunked (read/write
// through a 128 KiB buffer, several per block), cfr (copy_file_range per block) or cfra
// (copy_file_range per block, cut at boundaries of |OFFSET| bytes of the input: up to the
// next boundary, whole units, the rest; a negative OFFSET cuts only up to the boundary).
// OFFSET: where the buffer starts past a page boundary (0 = page-aligned).
// Copies each source in blocks of BLOCK bytes into OUTPUT (truncated first) and prints
// the seconds taken.
#include "base/File64.h"

#include <QElapsedTimer>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool copyRw(int in, int out, char* buffer, qint64 block)
{
    for (;;) {
        const kt::File64::IoResult r = kt::File64::ReadBlock(in, buffer, block);
        if (r.error)
            return false;
        if (r.bytes == 0)
            return true;
        const kt::File64::IoResult w = kt::File64::WriteBlock(out, buffer, r.bytes);
        if (w.error || w.bytes != r.bytes)
            return false;
        if (r.bytes < block)
            return true;
    }
}

bool copyCfr(int in, int out, qint64 block)
{
    for (;;) {
        qint64 moved = 0;
        while (moved < block) {
            const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, size_t(block - moved), 0);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            if (n == 0)
                return true;
            moved += n;
        }
    }
}

// copy_file_range with every large call starting on a page boundary of the source: a
// block that starts mid-page first moves the few bytes up to the boundary.
bool copyCfrAligned(int in, int out, qint64 block, qint64 align, bool startOnly)
{
    qint64 pos = 0;
    for (;;) {
        qint64 moved = 0;
        while (moved < block) {
            // Up to the next page boundary, then whole pages, then what is left.
            const qint64 left = block - moved;
            const qint64 toBoundary = (align - pos % align) % align;
            qint64 want = left;
            if (toBoundary > 0 && toBoundary < left)
                want = toBoundary;
            else if (toBoundary == 0 && left >= align && !startOnly)
                want = left - left % align;
            const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, size_t(want), 0);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            if (n == 0)
                return true;
            moved += n;
            pos += n;
        }
    }
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 6) {
        std::fprintf(stderr, "usage: blockcopy rw|cfr BLOCK OFFSET OUTPUT SOURCE...\n");
        return 2;
    }
    const bool cfr = std::strcmp(argv[1], "cfr") == 0;
    const bool cfrAligned = std::strcmp(argv[1], "cfra") == 0;
    const bool chunked = std::strcmp(argv[1], "chunked") == 0;
    const qint64 block = std::atoll(argv[2]);
    const long offset = std::atol(argv[3]);
    const int out = ::open(argv[4], O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (out < 0 || block <= 0) {
        std::perror(argv[4]);
        return 1;
    }
    void* raw = nullptr;
    if (::posix_memalign(&raw, 4096, size_t(block + offset)) != 0)
        return 1;
    char* buffer = static_cast<char*>(raw) + offset;

    QElapsedTimer timer;
    timer.start();
    for (int i = 5; i < argc; ++i) {
        const int in = ::open(argv[i], O_RDONLY | O_CLOEXEC);
        const bool ok =
            cfr          ? copyCfr(in, out, block)
            : cfrAligned ? copyCfrAligned(in, out, block, offset != 0 ? std::labs(offset) : 4096, offset < 0)
            : chunked    ? copyRw(in, out, buffer, qMin<qint64>(block, 128 * 1024))
                         : copyRw(in, out, buffer, block);
        if (in < 0 || !ok) {
            std::perror(argv[i]);
            return 1;
        }
        ::close(in);
    }
    ::close(out);
    std::printf("%.3f\n", double(timer.nsecsElapsed()) / 1e9);
    std::free(raw);
    return 0;
}
