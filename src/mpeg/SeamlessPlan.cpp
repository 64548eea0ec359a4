#include "SeamlessPlan.h"

#include "mpeg/MediaFile.h"
#include "mpeg/MpegAudio.h"
#include "mpeg/MpegClock.h"
#include "mpeg/ProgramStream.h"
#include "mpeg/StreamDetails.h"
#include "mpeg/VideoStream.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <optional>

namespace kt {

QVector<int> SeamlessPlan::unchangedParts() const
{
    QVector<int> list;
    for (int i = 0; i < parts.size(); ++i)
        if (!parts[i].rewritten)
            list.append(i);
    return list;
}

namespace {

QString damagedText()
{
    return QStringLiteral("damaged");
}

// Where a program stream part's presentation starts and ends: its pictures when it has
// video, else its earliest and latest audio clocks.
struct PsSpan
{
    quint64 start = 0;
    quint64 end = 0;
};

std::optional<PsSpan> programStreamSpan(const MediaFile& file, const QByteArray& head)
{
    const PsEnds ends = scanPsEnds(file, head);
    const qint64 ticks = psDurationTicks(ends);
    if (ticks < 0)
        return std::nullopt;
    quint64 start = ends.head.streams.first().firstPts;
    for (const PsStreamClock& c : ends.head.streams)
        if (clockDiff(c.firstPts, start) < 0)
            start = c.firstPts;
    PsSpan span{start, clockAdd(start, quint64(ticks))};
    // The pictures, unless what they say is far from the clocks (a broken stream).
    constexpr qint64 kNear = 5 * kClockHz;
    if (ends.head.videoSpan && std::abs(clockDiff(ends.head.videoFirst, span.start)) < kNear)
        span.start = ends.head.videoFirst;
    if (ends.tail.videoSpan && std::abs(clockDiff(ends.tail.videoEnd, span.end)) < kNear)
        span.end = ends.tail.videoEnd;
    return span;
}

struct AudioPart
{
    int index;
    AudioLayout layout;
    quint64 outputStart = 0; // of the part in the output
};

// Bytes left out of `part` before file offset `pos`.
quint64 droppedBefore(const SeamlessPart& part, quint64 pos)
{
    quint64 dropped = 0;
    for (const SeamlessPart::Edit& e : part.edits)
        if (e.replacement.isEmpty() && e.at < pos)
            dropped += std::min(e.length, pos - e.at);
    return dropped;
}

void addDrop(SeamlessPart& part, quint64 from, quint64 to)
{
    if (to <= from)
        return;
    if (!part.edits.isEmpty() && part.edits.last().replacement.isEmpty() &&
        part.edits.last().at + part.edits.last().length == from)
        part.edits.last().length += to - from;
    else
        part.edits.append({from, to - from, {}});
}

// The audio edits of every part, and the joined stream's VBR header frame for the first.
void planAudio(SeamlessPlan& plan, QVector<AudioPart>& audio)
{
    const AudioPart& head = audio.first();
    for (int c = 0; c < audio.size(); ++c) {
        const AudioLayout& a = audio[c].layout;
        SeamlessPart& part = plan.parts[audio[c].index];
        const quint64 vbrEnd =
            a.firstFrame + (a.vbr.kind != VbrHeader::None ? quint64(a.vbr.frameLength) : 0);
        if (c > 0)
            addDrop(part, 0, vbrEnd);
        if (c + 1 < audio.size())
            addDrop(part, a.audioEnd, part.length);
        plan.mixedAudio = plan.mixedAudio || !a.first.sameFormat(head.layout.first);
    }
    quint64 at = 0;
    int next = 0;
    for (SeamlessPart& part : plan.parts) {
        part.outputLength = part.length - droppedBefore(part, part.length);
        if (next < audio.size() && &plan.parts[audio[next].index] == &part)
            audio[next++].outputStart = at;
        at += part.outputLength;
    }

    const AudioLayout& first = head.layout;
    if (first.vbr.kind == VbrHeader::None)
        return;
    const MediaFile file(plan.parts[head.index].path);
    QByteArray frame = file.read(first.firstFrame, first.vbr.frameLength);
    if (frame.size() != first.vbr.frameLength)
        return;
    uchar* f = reinterpret_cast<uchar*>(frame.data());

    // Every frame's place in the output, from the VBR frame's start.
    const quint64 xingAt = head.outputStart + first.firstFrame;
    QVector<quint64> starts;
    quint64 musicEnd = xingAt;
    quint16 musicCrc = 0;
    bool uniform = true;
    QByteArray buffer;
    for (const AudioPart& p : audio) {
        const SeamlessPart& part = plan.parts[p.index];
        for (quint64 s : p.layout.frameStarts)
            starts.append(p.outputStart + s - droppedBefore(part, s) - xingAt);
        musicEnd = p.outputStart + p.layout.audioEnd - droppedBefore(part, p.layout.audioEnd);
        uniform = uniform && p.layout.uniformBitRate && p.layout.first.bitRate == first.first.bitRate;
        // The music CRC covers the frames after the VBR header frame, as written.
        const MediaFile source(part.path);
        const quint64 from = p.layout.firstFrame +
                             quint64(p.layout.vbr.kind != VbrHeader::None ? p.layout.vbr.frameLength : 0);
        for (quint64 pos = from; pos < p.layout.audioEnd;) {
            buffer =
                source.read(pos, std::min<qint64>(FileWindow::kWindowSize, qint64(p.layout.audioEnd - pos)));
            if (buffer.isEmpty())
                break;
            musicCrc = crc16(reinterpret_cast<const uchar*>(buffer.constData()), buffer.size(), musicCrc);
            pos += quint64(buffer.size());
        }
    }
    const quint64 bytes = musicEnd - xingAt;
    const qint64 frames = qint64(starts.size());
    const VbrHeader& v = first.vbr;
    if (v.kind == VbrHeader::Xing) {
        std::memcpy(f + v.at, v.info && uniform ? "Info" : "Xing", 4);
        if (v.framesAt >= 0)
            qToBigEndian(quint32(frames), f + v.framesAt);
        if (v.bytesAt >= 0)
            qToBigEndian(quint32(bytes), f + v.bytesAt);
        if (v.tocAt >= 0 && frames > 0 && bytes > 0)
            for (int i = 0; i < 100; ++i)
                f[v.tocAt + i] =
                    i == 0 ? 0
                           : uchar(std::min<quint64>(255, starts[qsizetype(i * frames / 100)] * 256 / bytes));
        if (v.lameAt >= 0) {
            const AudioLayout& last = audio.last().layout;
            const int padding = last.vbr.lameAt >= 0 ? last.vbr.padding : 0;
            uchar* lame = f + v.lameAt;
            lame[22] = uchar((lame[22] & 0xF0) | padding >> 8);
            lame[23] = uchar(padding);
            qToBigEndian(quint32(bytes), lame + 28);
            qToBigEndian(musicCrc, lame + 32);
            qToBigEndian(crc16(f, v.lameAt + 34), lame + 34);
        }
    } else { // VBRI: the counts move by what the other parts add, the table is made anew
        uchar* h = f + v.at;
        const qint64 firstBytes = qint64(first.audioEnd - first.firstFrame);
        qToBigEndian(quint32(std::max<qint64>(0, v.bytes - firstBytes + qint64(bytes))), h + 10);
        qToBigEndian(quint32(std::max<qint64>(0, v.frames - first.frames + frames)), h + 14);
        const int entries = qFromBigEndian<quint16>(h + 18), size = qFromBigEndian<quint16>(h + 22);
        if (frames > 0 && entries > 0 && size >= 1 && size <= 4 &&
            v.at + 26 + entries * size <= frame.size()) {
            const qint64 perEntry = std::min<qint64>(65535, (frames + entries - 1) / entries);
            starts.append(bytes);
            QVector<quint64> sizes;
            for (qint64 e = 0; e < entries; ++e) {
                const qint64 a = std::min(frames, e * perEntry), b = std::min(frames, (e + 1) * perEntry);
                sizes.append(starts[qsizetype(b)] - starts[qsizetype(a)]);
            }
            const quint64 most = (quint64(1) << (8 * size)) - 1;
            const quint64 largest = *std::max_element(sizes.begin(), sizes.end());
            const quint64 scale = std::max<quint64>(std::max<quint64>(1, qFromBigEndian<quint16>(h + 20)),
                                                    (largest + most - 1) / most);
            if (scale <= 65535) {
                qToBigEndian(quint16(scale), h + 20);
                qToBigEndian(quint16(perEntry), h + 24);
                for (qint64 e = 0; e < entries; ++e)
                    for (int k = 0; k < size; ++k)
                        h[26 + e * size + k] = uchar((sizes[e] / scale) >> (8 * (size - 1 - k)));
            }
        }
    }
    SeamlessPart& part = plan.parts[head.index];
    part.edits.prepend({first.firstFrame, quint64(frame.size()), frame});
}

} // namespace

SeamlessPlan planSeamlessJoin(const QVector<SeamlessSource>& sources)
{
    SeamlessPlan plan;
    QVector<AudioPart> audio;
    std::optional<quint64> psEnd; // the last program stream part's end, as shifted
    for (const SeamlessSource& source : sources) {
        SeamlessPart part;
        part.path = source.path;
        part.length = part.outputLength = source.length;
        const MediaFile file(source.path);
        part.openError = file.error();
        const QByteArray head = file.read(0, kPsEndBytes);
        AudioLayout layout;
        const StreamKind kind = part.openError ? StreamKind::Unknown : classifyStream(file, head, &layout);
        if (part.openError) {
            part.reason = QString::fromLocal8Bit(std::strerror(part.openError));
        } else if (file.size() != source.length) {
            part.reason = QStringLiteral("changed size");
        } else if (kind == StreamKind::Mpeg1Program || kind == StreamKind::Mpeg2Program) {
            part.format = PartFormat::ProgramStream;
            if (const std::optional<PsSpan> span = programStreamSpan(file, head)) {
                part.rewritten = true;
                part.shift = psEnd.has_value();
                part.clockOffset = psEnd ? clockSub(*psEnd, span->start) : 0;
                psEnd = clockAdd(span->end, part.clockOffset);
            }
        } else if (kind == StreamKind::VideoElementary) {
            part.format = PartFormat::VideoElementary;
            VideoSequence seq;
            if (findVideoSequence(reinterpret_cast<const uchar*>(head.constData()), head.size(), seq))
                part.nominalFps = exactFrameRate(seq.header.frameRateCode).nominal();
            part.rewritten = part.nominalFps > 0;
        } else if (kind == StreamKind::MpegAudio) {
            part.format = PartFormat::MpegAudio;
            part.rewritten = scanMpegAudio(file, layout, true, true);
            if (part.rewritten)
                audio.append({int(plan.parts.size()), layout});
        } else {
            part.reason = QStringLiteral("not an MPEG stream");
        }
        if (!part.rewritten && part.reason.isEmpty())
            part.reason = damagedText();
        plan.parts.append(part);
    }
    if (audio.size() > 1) // a single MPEG audio part stays as it is
        planAudio(plan, audio);
    for (const SeamlessPart& part : plan.parts)
        plan.outputSize += part.outputLength;
    return plan;
}

} // namespace kt
