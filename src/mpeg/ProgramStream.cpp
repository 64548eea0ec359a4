#include "ProgramStream.h"

#include "mpeg/MpegClock.h"

namespace kt {

bool pesHasHeader(uchar code)
{
    return code == 0xBD || (code >= 0xC0 && code <= 0xEF) || (code >= 0xF3 && code <= 0xF7) ||
           (code >= 0xF9 && code <= 0xFE);
}

namespace {

PsUnit packHeader(const uchar* p, qsizetype avail)
{
    PsUnit u;
    u.code = 0xBA;
    if (avail < 5)
        return u.status = PsUnit::NeedMore, u;
    if ((p[4] & 0xC0) == 0x40) { // MPEG-2
        if (avail < 14)
            return u.status = PsUnit::NeedMore, u;
        if (!scr2MarkersOk(p + 4) || (p[12] & 3) != 3)
            return u;
        u.mpeg2 = true;
        u.size = 14 + (p[13] & 7);
    } else if ((p[4] & 0xF0) == 0x20) { // MPEG-1
        if (avail < 12)
            return u.status = PsUnit::NeedMore, u;
        if (!timestampMarkersOk(p + 4) || !(p[9] & 0x80) || !(p[11] & 1))
            return u;
        u.size = 12;
    } else {
        return u;
    }
    u.scrAt = 4;
    u.status = PsUnit::Ok;
    return u;
}

// The PES header's clock fields, from its first byte after the length (at 6). A header that
// cannot be read leaves the packet without clocks or payload: it is still passed by its length.
PsUnit unreadableHeader(PsUnit u)
{
    u.ptsAt = u.dtsAt = -1;
    u.payloadAt = int(u.size);
    u.status = PsUnit::Ok;
    return u;
}

PsUnit pesHeader(const uchar* p, qsizetype avail, PsUnit u)
{
    const qint64 end = u.size;
    // Whether the first n bytes are there: absent from the packet, or not yet read.
    enum { Have, Outside, Later };
    const auto need = [&](qint64 n) { return n > end ? Outside : n > avail ? Later : Have; };
    if (const auto h = need(7); h != Have)
        return h == Outside ? unreadableHeader(u) : (u.status = PsUnit::NeedMore, u);
    int fields = 0;
    int at = 6;                  // where the clocks start
    if ((p[6] & 0xC0) == 0x80) { // MPEG-2: flags, header length, then the clocks
        if (const auto h = need(9); h != Have)
            return h == Outside ? unreadableHeader(u) : (u.status = PsUnit::NeedMore, u);
        const int flags = p[7] >> 6;
        fields = flags == 3 ? 10 : flags == 2 ? 5 : 0;
        at = 9;
        u.payloadAt = 9 + p[8];
        if (u.payloadAt > end || 9 + fields > u.payloadAt)
            return unreadableHeader(u);
    } else { // MPEG-1: stuffing, the STD buffer size, then the clocks or 0F
        while (at < 6 + 16 && need(at + 1) == Have && p[at] == 0xFF)
            ++at;
        if (const auto h = need(at + 1); h != Have)
            return h == Outside ? unreadableHeader(u) : (u.status = PsUnit::NeedMore, u);
        if ((p[at] & 0xC0) == 0x40)
            at += 2;
        if (const auto h = need(at + 1); h != Have)
            return h == Outside ? unreadableHeader(u) : (u.status = PsUnit::NeedMore, u);
        const int kind = p[at] >> 4;
        fields = kind == 3 ? 10 : kind == 2 ? 5 : 0;
        if (fields == 0 && p[at] != 0x0F)
            return unreadableHeader(u);
        u.payloadAt = at + (fields ? fields : 1);
        if (u.payloadAt > end)
            return unreadableHeader(u);
    }
    if (need(at + fields) == Later)
        return u.status = PsUnit::NeedMore, u;
    if (fields >= 5)
        u.ptsAt = at;
    if (fields == 10)
        u.dtsAt = at + 5;
    if ((u.ptsAt >= 0 && !timestampMarkersOk(p + u.ptsAt)) ||
        (u.dtsAt >= 0 && !timestampMarkersOk(p + u.dtsAt)))
        return unreadableHeader(u);
    u.status = PsUnit::Ok;
    return u;
}

} // namespace

PsUnit parsePsUnit(const uchar* p, qsizetype avail)
{
    PsUnit u;
    if (avail < 4)
        return u.status = PsUnit::NeedMore, u;
    if (p[0] != 0 || p[1] != 0 || p[2] != 1)
        return u;
    u.code = p[3];
    if (u.code == 0xBA)
        return packHeader(p, avail);
    if (u.code == 0xB9) {
        u.size = 4;
        u.status = PsUnit::Ok;
        return u;
    }
    if (u.code < 0xBB)
        return u; // a video start code or a reserved one: not a unit of the system layer
    if (avail < 6)
        return u.status = PsUnit::NeedMore, u;
    u.size = 6 + (qint64(p[4]) << 8 | p[5]);
    u.payloadAt = 6;
    if (!pesHasHeader(u.code)) {
        u.status = PsUnit::Ok;
        return u;
    }
    return pesHeader(p, avail, u);
}

} // namespace kt

#include "mpeg/HeaderScan.h"
#include "mpeg/MpegAudio.h"

#include <QByteArray>
#include <algorithm>
#include <optional>

namespace kt {
namespace {

// The first pack header at or after pos that another unit follows; -1 when there is none.
qsizetype findPack(const uchar* d, qsizetype n, qsizetype pos)
{
    while (pos < n) {
        const qsizetype at = findStartCode(d + pos, n - pos);
        if (at < 0)
            return -1;
        pos += at;
        const PsUnit u = parsePsUnit(d + pos, n - pos);
        if (u.status == PsUnit::Ok && u.code == 0xBA &&
            (pos + u.size >= n || parsePsUnit(d + pos + u.size, n - pos - u.size).status != PsUnit::Bad))
            return pos;
        if (u.status == PsUnit::NeedMore)
            return -1;
        pos += 1;
    }
    return -1;
}

// One audio frame in 90 kHz ticks from the start of a packet's payload.
qint64 audioFrameTicks(quint16 key, const uchar* p, qsizetype n)
{
    const int id = key >> 8, sub = key & 0xFF;
    if (id >= 0xC0 && id <= 0xDF) {
        // A frame header that the next frame's confirms (audio data can look like one), or
        // one at the payload's start whose frame runs past it.
        for (qsizetype i = 0; i + 4 <= n; ++i) {
            AudioFrameHeader h, next;
            if (p[i] != 0xFF || !decodeAudioHeader(p + i, h))
                continue;
            const qsizetype at = i + h.length;
            if (at + 4 <= n ? decodeAudioHeader(p + at, next) && next.sameFormat(h) : i == 0)
                return qint64(h.samples) * kClockHz / h.sampleRate;
        }
    } else if (id == 0xBD && sub >= 0x80 && sub <= 0x87 && n >= 9 && p[4] == 0x0B && p[5] == 0x77) {
        static const int rates[3] = {48000, 44100, 32000};
        const int fscod = p[8] >> 6;
        if (fscod < 3)
            return 1536 * kClockHz / rates[fscod]; // an AC-3 frame after the 4-byte DVD header
    }
    return 0;
}

// The streams whose clocks count for a duration: video, audio, and AC-3, DTS and LPCM in
// private stream 1 (not subpictures or navigation data).
bool timedStream(int id, int sub)
{
    return (id >= 0xC0 && id <= 0xEF) || (id == 0xBD && sub >= 0x80 && sub <= 0xAF);
}

struct Picture
{
    int gop;
    int temporalReference;
    std::optional<quint64> pts;
};

} // namespace

PsStretch scanPsStretch(const uchar* d, qsizetype n, qint64 frameTicks)
{
    PsStretch s;
    qsizetype pos = findPack(d, n, 0);
    if (pos < 0)
        return s;
    s.found = true;
    s.mpeg2 = parsePsUnit(d + pos, n - pos).mpeg2;
    int videoId = -1;
    QByteArray es; // the first video stream's payload bytes in the stretch
    es.reserve(n);
    struct Anchor
    {
        qsizetype from, to;
        quint64 pts;
    };
    QVector<Anchor> anchors;
    while (pos < n) {
        const PsUnit u = parsePsUnit(d + pos, n - pos);
        if (u.status == PsUnit::NeedMore)
            break;
        if (u.status == PsUnit::Bad) {
            pos = findPack(d, n, pos + 1);
            if (pos < 0)
                break;
            continue;
        }
        const qsizetype payload = pos + u.payloadAt,
                        payloadEnd = qsizetype(std::min<qint64>(pos + u.size, n));
        if (pesHasHeader(u.code) && payload < payloadEnd) {
            const int sub = u.code == 0xBD ? d[payload] : 0;
            if (u.ptsAt >= 0 && timedStream(u.code, sub)) {
                const quint16 key = quint16(u.code << 8 | sub);
                const quint64 pts = readTimestamp(d + pos + u.ptsAt);
                auto it =
                    std::find_if(s.streams.begin(), s.streams.end(), [&](auto& c) { return c.key == key; });
                if (it == s.streams.end()) {
                    s.streams.append(
                        {key, pts, pts, audioFrameTicks(key, d + payload, payloadEnd - payload)});
                    it = s.streams.end() - 1;
                } else if (clockDiff(pts, it->firstPts) > clockDiff(it->lastPts, it->firstPts)) {
                    it->lastPts = pts;
                }
            }
            if (u.code >= 0xE0 && u.code <= 0xEF && (videoId < 0 || videoId == u.code)) {
                videoId = u.code;
                if (u.ptsAt >= 0)
                    anchors.append(
                        {es.size(), es.size() + (payloadEnd - payload), readTimestamp(d + pos + u.ptsAt)});
                es.append(reinterpret_cast<const char*>(d + payload), payloadEnd - payload);
            }
        }
        pos += qsizetype(u.size);
    }

    const uchar* v = reinterpret_cast<const uchar*>(es.constData());
    s.hasSequence = findVideoSequence(v, es.size(), s.sequence);
    if (s.hasSequence && frameTicks == 0)
        frameTicks = exactFrameRate(s.sequence.header.frameRateCode).ticks();
    for (PsStreamClock& c : s.streams)
        if (c.isVideo())
            c.frameTicks = frameTicks;
    if (frameTicks == 0)
        return s;

    // Pictures in decoding order, each GOP's display base from a picture whose packet
    // gave its PTS.
    QVector<Picture> pictures;
    QVector<std::optional<quint64>> bases(1);
    int anchor = 0;
    for (qsizetype at = 0;;) {
        const qsizetype found = findStartCode(v + at, es.size() - at);
        if (found < 0 || at + found + 6 > es.size())
            break;
        at += found;
        if (v[at + 3] == kGopCode) {
            bases.append(std::nullopt);
        } else if (v[at + 3] == kPictureCode) {
            Picture pic{int(bases.size()) - 1, v[at + 4] << 2 | v[at + 5] >> 6, std::nullopt};
            while (anchor < anchors.size() && anchors[anchor].to <= at)
                ++anchor;
            if (anchor < anchors.size() && anchors[anchor].from <= at) {
                pic.pts = anchors[anchor].pts;
                ++anchor; // a PTS belongs to the first picture starting in its packet
                if (!bases[pic.gop])
                    bases[pic.gop] = clockSub(*pic.pts, quint64(pic.temporalReference * frameTicks));
            }
            pictures.append(pic);
        }
        at += 3;
    }
    std::optional<quint64> first, last;
    for (const Picture& pic : pictures) {
        if (!bases[pic.gop])
            continue;
        const quint64 t = clockAdd(*bases[pic.gop], quint64(pic.temporalReference * frameTicks));
        if (!first || clockDiff(t, *first) < 0)
            first = t;
        if (!last || clockDiff(t, *last) > 0)
            last = t;
    }
    if (first) {
        s.videoSpan = true;
        s.videoFirst = *first;
        s.videoEnd = clockAdd(*last, quint64(frameTicks));
    }
    return s;
}

} // namespace kt

#include "mpeg/MediaFile.h"

namespace kt {

PsEnds scanPsEnds(const MediaFile& file, const QByteArray& firstBytes)
{
    PsEnds ends;
    // Each end reaches further while it lacks what it should show: clocks, and where there is
    // video, its pictures (and in the head its sequence header).
    QByteArray head = firstBytes;
    for (qint64 span = std::max<qint64>(head.size(), kPsEndBytes);; span *= 4) {
        if (head.size() < span && quint64(head.size()) < file.size())
            head = file.read(0, span);
        ends.head = scanPsStretch(reinterpret_cast<const uchar*>(head.constData()), head.size());
        const bool video = std::any_of(ends.head.streams.begin(), ends.head.streams.end(),
                                       [](const PsStreamClock& c) { return c.isVideo(); });
        if ((!ends.head.streams.isEmpty() && (!video || (ends.head.hasSequence && ends.head.videoSpan))) ||
            quint64(head.size()) >= file.size() || span >= kPsEndLimit)
            break;
    }
    const qint64 ticks =
        ends.head.hasSequence ? exactFrameRate(ends.head.sequence.header.frameRateCode).ticks() : 0;
    for (qint64 span = kPsEndBytes;; span *= 4) {
        const quint64 from = file.size() > quint64(span) ? file.size() - quint64(span) : 0;
        const QByteArray tail =
            from == 0 && head.size() == qsizetype(file.size()) ? head : file.read(from, span);
        ends.tail = scanPsStretch(reinterpret_cast<const uchar*>(tail.constData()), tail.size(), ticks);
        if ((!ends.tail.streams.isEmpty() && (!ends.head.videoSpan || ends.tail.videoSpan)) || from == 0 ||
            span >= kPsEndLimit)
            break;
    }
    // An audio frame as the head shows it, where its packets start with the stream.
    for (PsStreamClock& t : ends.tail.streams)
        for (const PsStreamClock& h : ends.head.streams)
            if (t.key == h.key && h.frameTicks != 0)
                t.frameTicks = h.frameTicks;
    return ends;
}

quint64 psStartPts(const PsStretch& head)
{
    quint64 start = head.streams.isEmpty() ? 0 : head.streams.first().firstPts;
    for (const PsStreamClock& c : head.streams)
        if (clockDiff(c.firstPts, start) < 0)
            start = c.firstPts;
    return start;
}

qint64 psDurationTicks(const PsEnds& ends)
{
    if (ends.head.streams.isEmpty() || ends.tail.streams.isEmpty())
        return -1;
    const quint64 start = psStartPts(ends.head);
    qint64 longest = -1;
    for (const PsStreamClock& c : ends.tail.streams)
        longest = std::max(longest, clockDiff(clockAdd(c.lastPts, quint64(c.frameTicks)), start));
    return longest;
}

} // namespace kt
