#include "HeaderScan.h"

#include <algorithm>
#include <cstring>
#include <memory>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define KT_SCAN_X86 1
#endif

#include "mpeg/StreamInfo.h"

namespace kt {
namespace {

constexpr qsizetype kCarry = 3; // bytes of the previous chunk kept in front of the next

// The searches look for a pair of bytes (for a sequence header 01 B3, for any start code
// 00 01; the second byte may have an alternative) and confirm the zeros before it. In arbitrary data such a
// pair turns up once in 64 KiB, so the loops almost never leave their straight line; a single anchor byte
// would branch every few hundred bytes.
struct Pair
{
    unsigned char first;
    unsigned char second;
    unsigned char orSecond;
    int zeros; // zero bytes required before `first`
    bool matches(const unsigned char* p) const
    {
        return p[0] == first && (p[1] == second || p[1] == orSecond);
    }
};
constexpr Pair kSequencePair{0x01, 0xB3, 0xB3, 2};
constexpr Pair kPrefixPair{0x00, 0x01, 0x01, 1};

inline bool zerosBefore(const unsigned char* data, qsizetype i, int zeros)
{
    return data[i - 1] == 0 && (zeros < 2 || data[i - 2] == 0);
}

#if defined(KT_SCAN_X86)
__attribute__((target("avx2"))) qsizetype findPairAvx2(const unsigned char* data, qsizetype size,
                                                       qsizetype& i, Pair pair)
{
    const __m256i one = _mm256_set1_epi8(char(pair.first));
    const __m256i b3 = _mm256_set1_epi8(char(pair.second));
    const __m256i or3 = _mm256_set1_epi8(char(pair.orSecond));
    for (; i + 65 <= size; i += 64) {
        const unsigned char* p = data + i;
        const __m256i s0 = _mm256_loadu_si256((const __m256i*)(p + 1));
        const __m256i s1 = _mm256_loadu_si256((const __m256i*)(p + 33));
        const __m256i m0 =
            _mm256_and_si256(_mm256_cmpeq_epi8(_mm256_loadu_si256((const __m256i*)p), one),
                             _mm256_or_si256(_mm256_cmpeq_epi8(s0, b3), _mm256_cmpeq_epi8(s0, or3)));
        const __m256i m1 =
            _mm256_and_si256(_mm256_cmpeq_epi8(_mm256_loadu_si256((const __m256i*)(p + 32)), one),
                             _mm256_or_si256(_mm256_cmpeq_epi8(s1, b3), _mm256_cmpeq_epi8(s1, or3)));
        if (_mm256_testz_si256(_mm256_or_si256(m0, m1), _mm256_or_si256(m0, m1)))
            continue;
        quint64 mask =
            quint64(unsigned(_mm256_movemask_epi8(m0))) | quint64(unsigned(_mm256_movemask_epi8(m1))) << 32;
        while (mask) {
            const qsizetype at = i + __builtin_ctzll(mask);
            if (zerosBefore(data, at, pair.zeros))
                return at - pair.zeros;
            mask &= mask - 1;
        }
    }
    return -1;
}

// Bit k of the result: the pair's first byte at p[k] and its second at p[k + 1].
__attribute__((target("avx512f,avx512bw"))) inline quint64 pairMask512(const unsigned char* p, __m512i one,
                                                                       __m512i b3, __m512i or3)
{
    const __mmask64 first = _mm512_cmpeq_epi8_mask(_mm512_loadu_si512(p), one);
    const __m512i next = _mm512_loadu_si512(p + 1);
    return _mm512_mask_cmpeq_epi8_mask(first, next, b3) | _mm512_mask_cmpeq_epi8_mask(first, next, or3);
}

// 256 bytes per step with masked compares: where the processor has it, the cheapest of
// the variants (see bench/scan).
__attribute__((target("avx512f,avx512bw"))) qsizetype findPairAvx512(const unsigned char* data,
                                                                     qsizetype size, qsizetype& i, Pair pair)
{
    const __m512i one = _mm512_set1_epi8(char(pair.first));
    const __m512i b3 = _mm512_set1_epi8(char(pair.second));
    const __m512i or3 = _mm512_set1_epi8(char(pair.orSecond));
    for (; i + 257 <= size; i += 256) {
        const unsigned char* p = data + i;
        const quint64 masks[4] = {pairMask512(p, one, b3, or3), pairMask512(p + 64, one, b3, or3),
                                  pairMask512(p + 128, one, b3, or3), pairMask512(p + 192, one, b3, or3)};
        if (!(masks[0] | masks[1] | masks[2] | masks[3]))
            continue;
        for (int part = 0; part < 4; ++part) {
            for (quint64 mask = masks[part]; mask; mask &= mask - 1) {
                const qsizetype at = i + 64 * part + __builtin_ctzll(mask);
                if (zerosBefore(data, at, pair.zeros))
                    return at - pair.zeros;
            }
        }
    }
    return -1;
}

__attribute__((target("sse2"))) qsizetype findPairSse2(const unsigned char* data, qsizetype size,
                                                       qsizetype& i, Pair pair)
{
    const __m128i one = _mm_set1_epi8(char(pair.first));
    const __m128i b3 = _mm_set1_epi8(char(pair.second));
    const __m128i or3 = _mm_set1_epi8(char(pair.orSecond));
    for (; i + 33 <= size; i += 32) {
        const unsigned char* p = data + i;
        const __m128i s0 = _mm_loadu_si128((const __m128i*)(p + 1));
        const __m128i s1 = _mm_loadu_si128((const __m128i*)(p + 17));
        const __m128i m0 = _mm_and_si128(_mm_cmpeq_epi8(_mm_loadu_si128((const __m128i*)p), one),
                                         _mm_or_si128(_mm_cmpeq_epi8(s0, b3), _mm_cmpeq_epi8(s0, or3)));
        const __m128i m1 = _mm_and_si128(_mm_cmpeq_epi8(_mm_loadu_si128((const __m128i*)(p + 16)), one),
                                         _mm_or_si128(_mm_cmpeq_epi8(s1, b3), _mm_cmpeq_epi8(s1, or3)));
        unsigned mask = unsigned(_mm_movemask_epi8(m0)) | unsigned(_mm_movemask_epi8(m1)) << 16;
        while (mask) {
            const qsizetype at = i + __builtin_ctz(mask);
            if (zerosBefore(data, at, pair.zeros))
                return at - pair.zeros;
            mask &= mask - 1;
        }
    }
    return -1;
}

#endif

SearchWidth bestWidth()
{
#if defined(KT_SCAN_X86)
    __builtin_cpu_init(); // runs during static initialisation, maybe before the library's own
    if (__builtin_cpu_supports("avx512bw"))
        return SearchWidth::Avx512;
    if (__builtin_cpu_supports("avx2"))
        return SearchWidth::Avx2;
    if (__builtin_cpu_supports("sse2"))
        return SearchWidth::Sse2;
    return SearchWidth::Bytes;
#else
    return SearchWidth::Bytes;
#endif
}

const SearchWidth g_bestWidth = bestWidth();
SearchWidth g_width = g_bestWidth;

} // namespace

namespace {

qsizetype findPair(const unsigned char* data, qsizetype size, Pair pair)
{
    qsizetype i = pair.zeros; // position of the pair's first byte
#if defined(KT_SCAN_X86)
    // Up to a 64-byte boundary one at a time, so that the wide loads start on cache lines.
    for (; i + 1 < size && (reinterpret_cast<quintptr>(data + i) & 63) != 0; ++i) {
        if (pair.matches(data + i) && zerosBefore(data, i, pair.zeros))
            return i - pair.zeros;
    }
    // Each narrower step also takes the part too short for the wider one.
    qsizetype hit = -1;
    if (g_width >= SearchWidth::Avx512)
        hit = findPairAvx512(data, size, i, pair);
    if (hit < 0 && g_width >= SearchWidth::Avx2)
        hit = findPairAvx2(data, size, i, pair);
    if (hit < 0 && g_width >= SearchWidth::Sse2)
        hit = findPairSse2(data, size, i, pair);
    if (hit >= 0)
        return hit;
#endif
    // The rest (or everything elsewhere): memchr to each first byte, then a look around it.
    while (i + 1 < size) {
        const void* one = std::memchr(data + i, pair.first, size_t(size - 1 - i));
        if (!one)
            return -1;
        const qsizetype at = static_cast<const unsigned char*>(one) - data;
        if (pair.matches(data + at) && zerosBefore(data, at, pair.zeros))
            return at - pair.zeros;
        i = at + 1;
    }
    return -1;
}

} // namespace

qsizetype findSequenceHeaderCode(const unsigned char* data, qsizetype size)
{
    return findPair(data, size, kSequencePair);
}

qsizetype findStartCode(const unsigned char* data, qsizetype size)
{
    return findPair(data, size, kPrefixPair);
}

qsizetype findStartCodeOf(const unsigned char* data, qsizetype size, unsigned char code, unsigned char orCode)
{
    return findPair(data, size, {0x01, code, orCode, 2});
}

SearchWidth setSearchWidth(SearchWidth wanted)
{
    g_width = std::min(wanted, g_bestWidth);
    return g_width;
}

ScanResult scanForSequenceHeader(File64& file, quint64 length)
{
    ScanResult result;
    const File64::Handle h = file.FileHandle();
    if (h == File64::kInvalidHandle)
        return result;

    // One buffer for the whole scan. The chunks start on a cache line, the carried bytes
    // just before them.
    const std::unique_ptr<unsigned char[]> storage(new unsigned char[64 + kCarry + kScanReadSize]);
    unsigned char* const chunk = reinterpret_cast<unsigned char*>(
        (reinterpret_cast<quintptr>(storage.get()) + kCarry + 63) & ~quintptr(63));
    unsigned char* const carried = chunk - kCarry;
    std::memset(carried, 0xFF, kCarry); // nothing before the file's first byte

    auto found = [&](qsizetype at, qsizetype filled, quint64 chunkOffset) {
        result.outcome = ScanOutcome::Found;
        result.codeOffset = qint64(chunkOffset) - kCarry + at;
        if (at + 8 <= filled) {
            std::memcpy(result.header.data(), carried + at + 4, 4);
        } else {
            // The header lies beyond what was read: read it where it is. A code whose four
            // bytes the file does not hold is no header (nor can a later one be).
            const quint64 headerAt = quint64(result.codeOffset) + 4;
            file.SeekAbsolute(qint32(headerAt >> 32), qint32(quint32(headerAt)));
            if (File64::ReadBlock(h, reinterpret_cast<char*>(result.header.data()), 4).bytes != 4)
                return ScanResult{};
        }
        return result;
    };

    // Chunk k starts at (k - 1) * 32,768. Only the first read needs a seek: each read leaves
    // the handle where the next one starts.
    const quint64 limitBytes = quint64(kScanChunkLimit) * quint64(kScanChunkSize);
    quint64 offset = 0;
    file.SeekAbsolute(0, 0);
    while (offset < length) {
        if (offset == limitBytes) {
            // The boundary after the last chunk allowed is still examined.
            const qint64 want = qint64(qMin<quint64>(kCarry, length - offset));
            const qint64 n = File64::ReadBlock(h, reinterpret_cast<char*>(chunk), want).bytes;
            const qsizetype at = findSequenceHeaderCode(carried, kCarry + n);
            if (at >= 0)
                return found(at, kCarry + n, offset);
            result.outcome = ScanOutcome::ChunkLimit;
            return result;
        }
        // The first chunk alone: a sequence header is nearly always near the start.
        const quint64 readSize = offset == 0 ? quint64(kScanChunkSize) : quint64(kScanReadSize);
        const qint64 want = qint64(std::min({readSize, length - offset, limitBytes - offset}));
        const qint64 n = File64::ReadBlock(h, reinterpret_cast<char*>(chunk), want).bytes;
        if (n <= 0)
            break; // shorter than its length (or unreadable): what was there has been searched
        const qsizetype at = findSequenceHeaderCode(carried, kCarry + n);
        if (at >= 0)
            return found(at, kCarry + n, offset);
        // Keep the last three bytes seen (for a read shorter than three, some carried ones).
        std::memmove(carried, carried + n, kCarry);
        offset += quint64(n);
        if (n < want)
            break;
    }
    return result;
}

FileScan scanFileForSequenceHeader(File64& file, const QString& path)
{
    FileScan fs;
    fs.open = file.OpenFile(path, File64::kReadOnlyExisting);
    if (!fs.opened()) {
        file.DiscardFailedOpen(); // no message from the close
        return fs;
    }
    const File64::Handle h = file.FileHandle();
    fs.scan = scanForSequenceHeader(file, GetFileLen(path));
    file.CloseFile(h);
    return fs;
}

} // namespace kt
