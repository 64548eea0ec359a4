// Fuzz target: the MPEG-1 sequence-header scan. The input goes into a file behind 0xFF
// filler so it straddles the scan's chunk boundary at an offset set by its first byte; the
// scan through File64 must agree with a plain search: same offset and header bytes, or none.
// The in-memory start-code searches must agree with std::search too.
#include "base/File64.h"
#include "mpeg/HeaderScan.h"

#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

using namespace kt;

namespace {
void require(bool ok)
{
    if (!ok)
        std::abort();
}

qint64 plainFind(const std::vector<unsigned char>& file)
{
    static const unsigned char code[] = {0, 0, 1, 0xB3};
    const auto at = std::search(file.begin(), file.end(), std::begin(code), std::end(code));
    return at == file.end() ? -1 : at - file.begin();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 200000)
        return 0;
    // The in-memory search on an exact-size copy, so an over-read is reported.
    const std::unique_ptr<unsigned char[]> exact(new unsigned char[size ? size : 1]);
    std::copy(data, data + size, exact.get());
    require(findSequenceHeaderCode(exact.get(), qsizetype(size)) == plainFind({data, data + size}));
    static const unsigned char prefix[] = {0, 0, 1};
    const auto at = std::search(data, data + size, std::begin(prefix), std::end(prefix));
    require(findStartCode(exact.get(), qsizetype(size)) == (at == data + size ? -1 : at - data));
    qsizetype pictureOrGop = -1;
    for (size_t i = 0; i + 4 <= size && pictureOrGop < 0; ++i)
        if (data[i] == 0 && data[i + 1] == 0 && data[i + 2] == 1 && (data[i + 3] == 0 || data[i + 3] == 0xB8))
            pictureOrGop = qsizetype(i);
    require(findStartCodeOf(exact.get(), qsizetype(size), 0x00, 0xB8) == pictureOrGop);

    std::vector<unsigned char> file(size == 0 ? 0 : size_t(kScanChunkSize) - 8 + (data[0] % 16), 0xFF);
    file.insert(file.end(), data, data + size);
    static const int fd = memfd_create("kt-fuzz-scan", 0);
    require(fd >= 0 && ftruncate(fd, 0) == 0 &&
            pwrite(fd, file.data(), file.size(), 0) == ssize_t(file.size()));
    File64 f;
    f.OpenFile(QStringLiteral("/proc/self/fd/%1").arg(fd), QStringLiteral("READ_ONLY"));
    require(f.IsOpen());
    const File64::Handle h = f.FileHandle();
    const ScanResult result = scanForSequenceHeader(f, file.size());
    f.CloseFile(h);

    // A code without its four header bytes (cut off by the end) is none.
    qint64 expected = plainFind(file);
    if (expected >= 0 && size_t(expected) + 8 > file.size())
        expected = -1;
    require(result.outcome == (expected < 0 ? ScanOutcome::NotFound : ScanOutcome::Found));
    if (expected < 0)
        return 0;
    require(result.codeOffset == expected);
    for (size_t k = 0; k < 4; ++k)
        require(result.header[k] == file[size_t(expected) + 4 + k]);
    return 0;
}
