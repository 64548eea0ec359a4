#include "MpegAudio.h"

#include "mpeg/MediaFile.h"

#include <QtEndian>
#include <algorithm>
#include <array>
#include <cstring>

namespace kt {
namespace {

constexpr short kBitRates[2][3][16] = {
    // MPEG-1: layers I, II, III
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, -1},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, -1},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, -1}},
    // MPEG-2 and 2.5: layer I, layers II and III
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, -1},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, -1},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, -1}}};
constexpr int kSampleRates[3] = {44100, 48000, 32000};

quint32 be32(const uchar* p)
{
    return qFromBigEndian<quint32>(p);
}

} // namespace

bool decodeAudioHeader(const uchar* p, AudioFrameHeader& h)
{
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0)
        return false;
    const int versionBits = (p[1] >> 3) & 3, layerBits = (p[1] >> 1) & 3, rateIndex = p[2] >> 4,
              srIndex = (p[2] >> 2) & 3;
    if (versionBits == 1 || layerBits == 0 || rateIndex == 0 || rateIndex == 15 || srIndex == 3)
        return false;
    h.version = versionBits == 3 ? 1 : versionBits == 2 ? 2 : 25;
    h.layer = 4 - layerBits;
    h.bitRateIndex = rateIndex;
    h.bitRate = kBitRates[h.version == 1 ? 0 : 1][h.layer - 1][rateIndex];
    h.sampleRate = kSampleRates[srIndex] / (h.version == 1 ? 1 : h.version == 2 ? 2 : 4);
    h.channels = (p[3] >> 6) == 3 ? 1 : 2;
    h.crc = !(p[1] & 1);
    const int padding = (p[2] >> 1) & 1;
    if (h.layer == 1) {
        h.samples = 384;
        h.length = (12 * h.bitRate * 1000 / h.sampleRate + padding) * 4;
    } else {
        const bool half = h.layer == 3 && h.version != 1;
        h.samples = half ? 576 : 1152;
        h.length = (half ? 72 : 144) * h.bitRate * 1000 / h.sampleRate + padding;
    }
    return true;
}

qint64 id3v2TagSize(const uchar* p)
{
    if (p[0] != 'I' || p[1] != 'D' || p[2] != '3' || p[3] == 0xFF || p[4] == 0xFF ||
        ((p[6] | p[7] | p[8] | p[9]) & 0x80))
        return 0;
    const qint64 size = qint64(p[6]) << 21 | qint64(p[7]) << 14 | qint64(p[8]) << 7 | p[9];
    return 10 + size + ((p[5] & 0x10) ? 10 : 0);
}

quint16 crc16(const uchar* data, qint64 size, quint16 crc)
{
    static const auto table = [] {
        std::array<quint16, 256> t{};
        for (int i = 0; i < 256; ++i) {
            quint16 c = quint16(i);
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? quint16((c >> 1) ^ 0xA001) : quint16(c >> 1);
            t[size_t(i)] = c;
        }
        return t;
    }();
    for (qint64 i = 0; i < size; ++i)
        crc = quint16((crc >> 8) ^ table[(crc ^ data[i]) & 0xFF]);
    return crc;
}

VbrHeader findVbrHeader(const uchar* f, const AudioFrameHeader& h)
{
    VbrHeader v;
    if (h.layer != 3)
        return v;
    const int side = h.version == 1 ? (h.channels == 1 ? 17 : 32) : (h.channels == 1 ? 9 : 17);
    for (const int at : {4 + side, 4 + side + 2}) {
        if (at + 8 > h.length ||
            !(std::memcmp(f + at, "Xing", 4) == 0 || std::memcmp(f + at, "Info", 4) == 0))
            continue;
        v.kind = VbrHeader::Xing;
        v.info = f[at] == 'I';
        v.at = at;
        v.flags = be32(f + at + 4);
        int next = at + 8;
        const auto field = [&](quint32 flag, int size) {
            if (!(v.flags & flag) || next + size > h.length)
                return -1;
            next += size;
            return next - size;
        };
        v.frameLength = h.length;
        if ((v.framesAt = field(1, 4)) >= 0)
            v.frames = be32(f + v.framesAt);
        if ((v.bytesAt = field(2, 4)) >= 0)
            v.bytes = be32(f + v.bytesAt);
        v.tocAt = field(4, 100);
        field(8, 4);
        // The LAME tag, 36 bytes: known by its CRC over the frame's bytes before it, or by name.
        if (next + 36 <= h.length &&
            (qFromBigEndian<quint16>(f + next + 34) == crc16(f, next + 34) ||
             std::memcmp(f + next, "LAME", 4) == 0 || std::memcmp(f + next, "Lav", 3) == 0)) {
            v.lameAt = next;
            v.delay = f[next + 21] << 4 | f[next + 22] >> 4;
            v.padding = (f[next + 22] & 0x0F) << 8 | f[next + 23];
        }
        return v;
    }
    if (4 + 32 + 26 <= h.length && std::memcmp(f + 36, "VBRI", 4) == 0) {
        v.kind = VbrHeader::Vbri;
        v.frameLength = h.length;
        v.at = 36;
        v.bytes = be32(f + 36 + 10);
        v.frames = be32(f + 36 + 14);
        v.tocAt = 36 + 26;
    }
    return v;
}

namespace {

// The end of the audio: before an ID3v1 tag and an APEv2 tag in front of it.
quint64 trailingTagsStart(const MediaFile& file, quint64 audioStart)
{
    quint64 end = file.size();
    if (end >= audioStart + 128 && file.read(end - 128, 3) == "TAG")
        end -= 128;
    if (end >= audioStart + 32) {
        const QByteArray footer = file.read(end - 32, 32);
        if (footer.size() == 32 && footer.startsWith("APETAGEX")) {
            const uchar* f = reinterpret_cast<const uchar*>(footer.constData());
            const quint64 size = qFromLittleEndian<quint32>(f + 12) +
                                 ((qFromLittleEndian<quint32>(f + 20) & 0x80000000u) ? 32 : 0);
            if (size >= 32 && size <= end - audioStart)
                end -= size;
        }
    }
    return end;
}

class FrameWalk
{
public:
    FrameWalk(const MediaFile& file, quint64 end) : m_window(file, end) {}

    // A frame header at pos whose frame fits before the end.
    bool frameAt(quint64 pos, AudioFrameHeader& h)
    {
        const uchar* p = m_window.at(pos, 4);
        return p && decodeAudioHeader(p, h) && pos + quint64(h.length) <= m_window.end();
    }
    // A frame at pos followed by `more` frames of the same format, or by the end.
    bool chainAt(quint64 pos, int more)
    {
        AudioFrameHeader h, next;
        if (!frameAt(pos, h))
            return false;
        for (quint64 at = pos + quint64(h.length); more > 0; --more, at += quint64(next.length)) {
            if (at == m_window.end())
                return true;
            if (!frameAt(at, next) || !next.sameFormat(h))
                return false;
        }
        return true;
    }
    // The first chain at or after pos, before limit; or the end.
    quint64 sync(quint64 pos, quint64 limit, int more)
    {
        for (; pos < limit; ++pos) {
            const qint64 span = qint64(std::min(limit, m_window.end()) - pos);
            const uchar* p = m_window.at(pos, std::min<qint64>(span, 4096));
            if (!p)
                break;
            const void* ff = std::memchr(p, 0xFF, size_t(std::min<qint64>(span, 4096)));
            if (!ff) {
                pos += quint64(std::min<qint64>(span, 4096)) - 1;
                continue;
            }
            pos += quint64(static_cast<const uchar*>(ff) - p);
            if (pos < limit && chainAt(pos, more))
                return pos;
        }
        return m_window.end();
    }
    FileWindow& window() { return m_window; }

private:
    FileWindow m_window;
};

} // namespace

bool scanMpegAudio(const MediaFile& file, AudioLayout& out, bool walk, bool index)
{
    out = AudioLayout{};
    quint64 start = 0;
    for (QByteArray head; (head = file.read(start, 10)).size() == 10;) {
        const qint64 tag = id3v2TagSize(reinterpret_cast<const uchar*>(head.constData()));
        if (tag == 0 || start + quint64(tag) > file.size())
            break;
        start += quint64(tag);
    }
    out.audioStart = start;
    out.audioEnd = trailingTagsStart(file, start);
    FrameWalk frames(file, out.audioEnd);
    const quint64 first = frames.sync(start, std::min(out.audioEnd, start + 65536), 2);
    if (first >= out.audioEnd || !frames.frameAt(first, out.first))
        return false;
    out.firstFrame = first;
    if (const uchar* frame = frames.window().at(first, out.first.length))
        out.vbr = findVbrHeader(frame, out.first);
    quint64 pos = first;
    if (out.vbr.kind != VbrHeader::None) {
        pos += quint64(out.first.length);
        // The header frame may use a bit rate of its own: the stream's is its next frame's.
        if (AudioFrameHeader next; frames.frameAt(pos, next) && next.sameFormat(out.first))
            out.first = next;
        if (!walk && out.vbr.frames > 0) {
            out.frames = out.vbr.frames;
            out.samples = out.frames * out.first.samples;
            return true;
        }
    }
    out.counted = true;
    AudioFrameHeader h;
    while (pos < out.audioEnd) {
        if (!frames.frameAt(pos, h) || (!h.sameFormat(out.first) && !frames.chainAt(pos, 2))) {
            pos = frames.sync(pos + 1, out.audioEnd, 2);
            continue;
        }
        if (index)
            out.frameStarts.append(pos);
        out.uniformBitRate = out.uniformBitRate && h.bitRate == out.first.bitRate;
        ++out.frames;
        out.samples += h.samples;
        pos += quint64(h.length);
    }
    return true;
}

} // namespace kt
