#include "VideoStream.h"

#include "mpeg/HeaderScan.h"
#include "mpeg/MediaFile.h"

#include <cstring>
#include <memory>

namespace kt {

FrameRate exactFrameRate(int code)
{
    static constexpr FrameRate kRates[9] = {{},      {24000, 1001}, {24, 1},       {25, 1}, {30000, 1001},
                                            {30, 1}, {50, 1},       {60000, 1001}, {60, 1}};
    return code >= 1 && code <= 8 ? kRates[code] : FrameRate{};
}

bool findVideoSequence(const uchar* data, qsizetype size, VideoSequence& out)
{
    const qsizetype at = findSequenceHeaderCode(data, size);
    if (at < 0 || at + 8 > size)
        return false;
    out.header = decodeSequenceHeader({data[at + 4], data[at + 5], data[at + 6], data[at + 7]});
    // The next start code after the header (its matrices may hold zeros, never 00 00 01).
    const qsizetype next = at + 8 + std::max<qsizetype>(0, findStartCode(data + at + 8, size - at - 8));
    out.mpeg2 =
        next + 4 < size && next > at + 8 && data[next + 3] == kExtensionCode && (data[next + 4] >> 4) == 1;
    return true;
}

namespace {

bool dropFrame(const uchar* gop, int fps)
{
    return (gop[4] & 0x80) && fps == 30;
}

} // namespace

qint64 gopTimeCodeFrames(const uchar* gop, int fps)
{
    const quint32 tc = quint32(gop[4]) << 17 | quint32(gop[5]) << 9 | quint32(gop[6]) << 1 | gop[7] >> 7;
    const qint64 hours = (tc >> 19) & 0x1F, minutes = (tc >> 13) & 0x3F, seconds = (tc >> 6) & 0x3F,
                 pictures = tc & 0x3F;
    const qint64 totalMinutes = hours * 60 + minutes;
    qint64 frames = (totalMinutes * 60 + seconds) * fps + pictures;
    if (dropFrame(gop, fps))
        frames -= 2 * (totalMinutes - totalMinutes / 10);
    return frames;
}

void writeGopTimeCode(uchar* gop, qint64 frames, int fps)
{
    if (fps <= 0)
        return;
    const bool drop = dropFrame(gop, fps);
    const qint64 perDay = drop ? qint64(24) * 6 * 17982 : qint64(24) * 3600 * fps;
    frames = ((frames % perDay) + perDay) % perDay;
    if (drop) { // back to the frame numbers the drop-frame count skips
        const qint64 tens = frames / 17982, rest = frames % 17982;
        frames += 18 * tens + (rest > 1 ? 2 * ((rest - 2) / 1798) : 0);
    }
    const quint32 pictures = quint32(frames % fps), seconds = quint32(frames / fps % 60),
                  minutes = quint32(frames / fps / 60 % 60), hours = quint32(frames / fps / 3600 % 24);
    // drop flag, hours, minutes, marker, seconds, pictures: the flag and marker stay.
    const quint32 kept = (quint32(gop[4] >> 7) << 24) | (quint32(gop[5] >> 3) & 1) << 12;
    const quint32 tc = kept | hours << 19 | minutes << 13 | seconds << 6 | pictures;
    gop[4] = uchar(tc >> 17);
    gop[5] = uchar(tc >> 9);
    gop[6] = uchar(tc >> 1);
    gop[7] = uchar((gop[7] & 0x7F) | (tc & 1) << 7);
}

qint64 countPictures(const MediaFile& file)
{
    constexpr qint64 kChunk = 1 << 20;
    constexpr qsizetype kCarry = 3; // a start code may straddle two reads
    const std::unique_ptr<uchar[]> buffer(new uchar[kCarry + kChunk]);
    std::memset(buffer.get(), 0xFF, kCarry);
    qint64 pictures = 0;
    for (quint64 offset = 0; offset < file.size();) {
        const qint64 n = file.read(offset, reinterpret_cast<char*>(buffer.get()) + kCarry, kChunk);
        if (n <= 0)
            break;
        const qsizetype filled = kCarry + n;
        // Picture codes whose code byte is in this read (the search passes over the others);
        // one straddling the end is counted next time.
        for (qsizetype at = 0;;) {
            const qsizetype found =
                findStartCodeOf(buffer.get() + at, filled - at, kPictureCode, kPictureCode);
            if (found < 0)
                break;
            ++pictures;
            at += found + 3;
        }
        std::memmove(buffer.get(), buffer.get() + n, kCarry);
        offset += quint64(n);
    }
    return pictures;
}

} // namespace kt
