#include "HeaderScan.h"

#include <cstring>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "mpeg/StreamInfo.h"

namespace kt {
namespace {

constexpr qsizetype kCarry = 3; // bytes of the previous chunk kept in front of the next
constexpr unsigned char kCodeLast = 0xB3;

// The last byte of the code is the anchor: it is as rare as 0x01 in arbitrary data, and
// unlike 0x01 it does not stop at every other start code of an MPEG stream.
inline bool codeEndsAt(const unsigned char* data, qsizetype i)
{
    return data[i - 1] == 0x01 && data[i - 2] == 0x00 && data[i - 3] == 0x00;
}

} // namespace

qsizetype findSequenceHeaderCode(const unsigned char* data, qsizetype size)
{
    qsizetype i = 3;
#if defined(__SSE2__)
    // 64 bytes per step: one branch unless a 0xB3 byte is among them.
    const __m128i needle = _mm_set1_epi8(char(kCodeLast));
    for (; i + 64 <= size; i += 64) {
        const auto* p = reinterpret_cast<const __m128i*>(data + i);
        const __m128i e0 = _mm_cmpeq_epi8(_mm_loadu_si128(p), needle);
        const __m128i e1 = _mm_cmpeq_epi8(_mm_loadu_si128(p + 1), needle);
        const __m128i e2 = _mm_cmpeq_epi8(_mm_loadu_si128(p + 2), needle);
        const __m128i e3 = _mm_cmpeq_epi8(_mm_loadu_si128(p + 3), needle);
        if (!_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(e0, e1), _mm_or_si128(e2, e3))))
            continue;
        quint64 mask = quint64(unsigned(_mm_movemask_epi8(e0))) | quint64(unsigned(_mm_movemask_epi8(e1))) << 16
                       | quint64(unsigned(_mm_movemask_epi8(e2))) << 32
                       | quint64(unsigned(_mm_movemask_epi8(e3))) << 48;
        while (mask) {
            const qsizetype at = i + __builtin_ctzll(mask);
            if (codeEndsAt(data, at))
                return at - 3;
            mask &= mask - 1;
        }
    }
#endif
    while (i < size) {
        const void* hit = std::memchr(data + i, kCodeLast, size_t(size - i));
        if (!hit)
            return -1;
        const qsizetype at = static_cast<const unsigned char*>(hit) - data;
        if (codeEndsAt(data, at))
            return at - 3;
        i = at + 1;
    }
    return -1;
}

ScanResult scanForSequenceHeader(File64& file, quint64 length)
{
    ScanResult result;
    const File64::Handle h = file.FileHandle();
    if (h == File64::kInvalidHandle)
        return result;

    // One buffer for the whole scan: the carried bytes, then the chunk.
    const std::unique_ptr<unsigned char[]> buffer(new unsigned char[kCarry + kScanChunkSize]);
    unsigned char* const chunk = buffer.get() + kCarry;
    std::memset(buffer.get(), 0xFF, kCarry); // nothing before the file's first byte

    auto found = [&](qsizetype at, qsizetype filled, quint64 chunkOffset) {
        result.outcome = ScanOutcome::Found;
        result.codeOffset = qint64(chunkOffset) - kCarry + at;
        if (at + 8 <= filled) {
            std::memcpy(result.header.data(), buffer.get() + at + 4, 4);
        } else {
            // The header lies beyond this chunk: read it where it is.
            const quint64 headerAt = quint64(result.codeOffset) + 4;
            file.SeekAbsolute(qint32(headerAt >> 32), qint32(quint32(headerAt)));
            File64::ReadBlock(h, reinterpret_cast<char*>(result.header.data()), 4);
        }
        return result;
    };

    quint64 offset = 0;
    int chunks = 0;
    while (offset < length) {
        if (chunks == kScanChunkLimit) {
            // The boundary after the last chunk allowed is still examined.
            file.SeekAbsolute(qint32(offset >> 32), qint32(quint32(offset)));
            const qint64 want = qint64(qMin<quint64>(kCarry, length - offset));
            const qint64 n = File64::ReadBlock(h, reinterpret_cast<char*>(chunk), want).bytes;
            const qsizetype at = findSequenceHeaderCode(buffer.get(), kCarry + n);
            if (at >= 0)
                return found(at, kCarry + n, offset);
            result.outcome = ScanOutcome::ChunkLimit;
            return result;
        }
        ++chunks;
        file.SeekAbsolute(qint32(offset >> 32), qint32(quint32(offset)));
        const qint64 want = qint64(qMin<quint64>(quint64(kScanChunkSize), length - offset));
        const qint64 n = File64::ReadBlock(h, reinterpret_cast<char*>(chunk), want).bytes;
        if (n <= 0)
            break; // shorter than its length (or unreadable): what was there has been searched
        const qsizetype at = findSequenceHeaderCode(buffer.get(), kCarry + n);
        if (at >= 0)
            return found(at, kCarry + n, offset);
        // Keep the last three bytes seen (for a chunk shorter than three, some carried ones).
        std::memmove(buffer.get(), buffer.get() + n, kCarry);
        offset += quint64(n);
        if (n < want)
            break;
    }
    return result;
}

FileScan scanFileForSequenceHeader(File64& file, const QString& path)
{
    FileScan fs;
    file.OpenFile(path, File64::kReadOnlyExisting);
    if (!file.IsOpen()) {
        file.DiscardFailedOpen(); // the open error has been shown; no second message
        return fs;
    }
    fs.opened = true;
    const File64::Handle h = file.FileHandle();
    fs.scan = scanForSequenceHeader(file, GetFileLen(path));
    file.CloseFile(h);
    return fs;
}

} // namespace kt
