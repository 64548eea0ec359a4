#include "SeamlessPlan.h"

#include "mpeg/MediaFile.h"
#include "mpeg/MpegAudio.h"
#include "mpeg/MpegClock.h"
#include "mpeg/ProgramStream.h"
#include "mpeg/StreamDetails.h"
#include "mpeg/VideoStream.h"

#include <QCoreApplication>
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
    return QCoreApplication::translate("kt::SeamlessPlan", "damaged");
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
    const quint64 start = psStartPts(ends.head);
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

// The bytes each MPEG audio part leaves out: tags and junk before the first frame and the
// VBR header frame of later parts, trailing tags of all but the last.
void planAudioDrops(SeamlessPlan& plan, QVector<AudioPart>& audio)
{
    for (int c = 0; c < audio.size(); ++c) {
        const AudioLayout& a = audio[c].layout;
        SeamlessPart& part = plan.parts[audio[c].index];
        if (c > 0)
            addDrop(part, 0, a.firstFrame + quint64(a.vbr.frameLength));
        if (c + 1 < audio.size())
            addDrop(part, a.audioEnd, part.length);
        plan.mixedAudio = plan.mixedAudio || !a.first.sameFormat(audio.first().layout.first);
    }
    quint64 at = 0;
    int next = 0;
    for (int i = 0; i < plan.parts.size(); ++i) {
        SeamlessPart& part = plan.parts[i];
        part.outputLength = part.length - droppedBefore(part, part.length);
        if (next < audio.size() && audio[next].index == i)
            audio[next++].outputStart = at;
        at += part.outputLength;
    }
}

// The joined stream as the first part's VBR header sees it: every frame's place from the
// header frame's start, where the music ends, the CRC of the music after the header frame.
struct JoinedAudio
{
    QVector<quint64> starts;
    quint64 bytes = 0;
    quint16 musicCrc = 0;
    bool uniformBitRate = true;
};

JoinedAudio joinedAudio(const SeamlessPlan& plan, const QVector<AudioPart>& audio)
{
    JoinedAudio j;
    const AudioLayout& first = audio.first().layout;
    const quint64 xingAt = audio.first().outputStart + first.firstFrame;
    for (const AudioPart& p : audio) {
        const SeamlessPart& part = plan.parts[p.index];
        for (quint64 s : p.layout.frameStarts)
            j.starts.append(p.outputStart + s - droppedBefore(part, s) - xingAt);
        j.bytes = p.outputStart + p.layout.audioEnd - droppedBefore(part, p.layout.audioEnd) - xingAt;
        j.uniformBitRate =
            j.uniformBitRate && p.layout.uniformBitRate && p.layout.first.bitRate == first.first.bitRate;
        const MediaFile source(part.path);
        for (quint64 pos = p.layout.firstFrame + quint64(p.layout.vbr.frameLength);
             pos < p.layout.audioEnd;) {
            const QByteArray bytes =
                source.read(pos, std::min<qint64>(FileWindow::kWindowSize, qint64(p.layout.audioEnd - pos)));
            if (bytes.isEmpty())
                break;
            j.musicCrc = crc16(reinterpret_cast<const uchar*>(bytes.constData()), bytes.size(), j.musicCrc);
            pos += quint64(bytes.size());
        }
    }
    return j;
}

// Xing or Info: counts, seek table (the place of the frame at each percent of the frames),
// and in the LAME tag the last part's padding, music length and CRC, and the tag's CRC.
void rewriteXing(uchar* f, const VbrHeader& v, const JoinedAudio& j, const AudioLayout& last)
{
    const qint64 frames = j.starts.size();
    std::memcpy(f + v.at, v.info && j.uniformBitRate ? "Info" : "Xing", 4);
    if (v.framesAt >= 0)
        qToBigEndian(quint32(frames), f + v.framesAt);
    if (v.bytesAt >= 0)
        qToBigEndian(quint32(j.bytes), f + v.bytesAt);
    if (v.tocAt >= 0 && frames > 0 && j.bytes > 0)
        for (int i = 1; i < 100; ++i)
            f[v.tocAt + i] =
                uchar(std::min<quint64>(255, j.starts[qsizetype(i * frames / 100)] * 256 / j.bytes));
    if (v.lameAt < 0)
        return;
    const int padding = last.vbr.lameAt >= 0 ? last.vbr.padding : 0;
    uchar* lame = f + v.lameAt;
    lame[22] = uchar((lame[22] & 0xF0) | padding >> 8);
    lame[23] = uchar(padding);
    qToBigEndian(quint32(j.bytes), lame + 28);
    qToBigEndian(j.musicCrc, lame + 32);
    qToBigEndian(crc16(f, v.lameAt + 34), lame + 34);
}

// VBRI: the counts move by what the other parts add, the table is made anew over the same
// number of entries (bytes per group of frames, scaled to fit the entry size).
void rewriteVbri(uchar* f, int frameLength, const VbrHeader& v, const JoinedAudio& j,
                 const AudioLayout& first)
{
    uchar* h = f + v.at;
    const qint64 frames = j.starts.size();
    const qint64 firstBytes = qint64(first.audioEnd - first.firstFrame);
    qToBigEndian(quint32(std::max<qint64>(0, v.bytes - firstBytes + qint64(j.bytes))), h + 10);
    qToBigEndian(quint32(std::max<qint64>(0, v.frames - first.frames + frames)), h + 14);
    const int entries = qFromBigEndian<quint16>(h + 18), size = qFromBigEndian<quint16>(h + 22);
    if (frames == 0 || entries == 0 || size < 1 || size > 4 || v.at + 26 + entries * size > frameLength)
        return;
    const qint64 perEntry = std::min<qint64>(65535, (frames + entries - 1) / entries);
    const auto startOf = [&](qint64 frame) { return frame < frames ? j.starts[qsizetype(frame)] : j.bytes; };
    QVector<quint64> sizes;
    for (qint64 e = 0; e < entries; ++e)
        sizes.append(startOf(std::min(frames, (e + 1) * perEntry)) - startOf(std::min(frames, e * perEntry)));
    const quint64 most = (quint64(1) << (8 * size)) - 1;
    const quint64 scale =
        std::max<quint64>({1, qFromBigEndian<quint16>(h + 20),
                           (*std::max_element(sizes.begin(), sizes.end()) + most - 1) / most});
    if (scale > 65535)
        return;
    qToBigEndian(quint16(scale), h + 20);
    qToBigEndian(quint16(perEntry), h + 24);
    for (qint64 e = 0; e < entries; ++e)
        for (int k = 0; k < size; ++k)
            h[26 + e * size + k] = uchar((sizes[e] / scale) >> (8 * (size - 1 - k)));
}

// The audio edits of every part, and the joined stream's VBR header frame for the first.
void planAudio(SeamlessPlan& plan, QVector<AudioPart>& audio)
{
    planAudioDrops(plan, audio);
    const AudioLayout& first = audio.first().layout;
    if (first.vbr.kind == VbrHeader::None)
        return;
    SeamlessPart& part = plan.parts[audio.first().index];
    QByteArray frame = MediaFile(part.path).read(first.firstFrame, first.vbr.frameLength);
    if (frame.size() != first.vbr.frameLength)
        return;
    uchar* f = reinterpret_cast<uchar*>(frame.data());
    const JoinedAudio joined = joinedAudio(plan, audio);
    if (first.vbr.kind == VbrHeader::Xing)
        rewriteXing(f, first.vbr, joined, audio.last().layout);
    else
        rewriteVbri(f, frame.size(), first.vbr, joined, first);
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
            part.reason = QCoreApplication::translate("kt::SeamlessPlan", "changed size");
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
            part.reason = QCoreApplication::translate("kt::SeamlessPlan", "not an MPEG stream");
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
