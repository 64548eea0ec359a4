#include "StreamDetails.h"

#include "mpeg/HeaderScan.h"
#include "mpeg/MediaFile.h"
#include "mpeg/MpegAudio.h"
#include "mpeg/MpegClock.h"
#include "mpeg/ProgramStream.h"
#include "mpeg/VideoStream.h"

#include <QCoreApplication>
#include <QJsonValue>
#include <algorithm>
#include <cstring>

namespace kt {
namespace {

void describeProgramStream(const MediaFile& file, const QByteArray& head, StreamDetails& d)
{
    const PsEnds ends = scanPsEnds(file, head);
    d.kind = ends.head.mpeg2 ? StreamKind::Mpeg2Program : StreamKind::Mpeg1Program;
    if (ends.head.hasSequence) {
        d.width = ends.head.sequence.header.width;
        d.height = ends.head.sequence.header.height;
        d.frameRateCode = ends.head.sequence.header.frameRateCode;
        d.mpeg2Video = ends.head.sequence.mpeg2;
    }
    if (const qint64 ticks = psDurationTicks(ends); ticks >= 0)
        d.duration = double(ticks) / kClockHz;
}

void describeVideo(const MediaFile& file, const QByteArray& head, StreamDetails& d)
{
    VideoSequence seq;
    if (!findVideoSequence(reinterpret_cast<const uchar*>(head.constData()), head.size(), seq))
        return;
    d.width = seq.header.width;
    d.height = seq.header.height;
    d.frameRateCode = seq.header.frameRateCode;
    d.mpeg2Video = seq.mpeg2;
    if (const FrameRate rate = exactFrameRate(seq.header.frameRateCode); rate.valid())
        d.duration = double(countPictures(file)) * double(rate.den) / double(rate.num);
}

void describeAudio(const AudioLayout& a, StreamDetails& d)
{
    d.audioVersion = a.first.version;
    d.audioLayer = a.first.layer;
    d.sampleRate = a.first.sampleRate;
    d.channels = a.first.channels;
    const double seconds = double(a.samples) / a.first.sampleRate;
    if (a.frames > 0)
        d.duration = seconds;
    d.variableBitRate = (a.vbr.kind != VbrHeader::None && !a.vbr.info) || !a.uniformBitRate;
    if (!d.variableBitRate || seconds <= 0) {
        d.bitRate = a.first.bitRate * 1000;
        return;
    }
    // The VBR header's byte count, unless it claims more than the file holds.
    const quint64 held = a.audioEnd - a.firstFrame;
    const quint64 bytes = a.vbr.bytes > 0 && quint64(a.vbr.bytes) <= held ? quint64(a.vbr.bytes) : held;
    d.bitRate = qint64(double(bytes) * 8 / seconds + 0.5);
}

QString versionText(int version)
{
    return version == 25 ? QStringLiteral("2.5") : QString::number(version);
}

} // namespace

StreamKind classifyStream(const MediaFile& file, const QByteArray& head, AudioLayout* audio)
{
    const uchar* h = reinterpret_cast<const uchar*>(head.constData());
    const qsizetype n = head.size();
    const bool id3 = n >= 10 && id3v2TagSize(h) > 0;
    if (!id3) {
        if (const PsUnit u = parsePsUnit(h, n); u.status == PsUnit::Ok && u.code == 0xBA)
            return u.mpeg2 ? StreamKind::Mpeg2Program : StreamKind::Mpeg1Program;
        // An elementary stream starts with its sequence header (after zero bytes at most),
        // all of it: a header cut off by the end is none.
        const qsizetype code = findStartCode(h, n);
        if (code >= 0 && code < 64 && code + 8 <= n && h[code + 3] == kSequenceCode &&
            std::all_of(h, h + code, [](uchar b) { return b == 0; }))
            return StreamKind::VideoElementary;
    }
    AudioLayout layout;
    if (scanMpegAudio(file, audio ? *audio : layout, false))
        return StreamKind::MpegAudio;
    if (!id3) {
        const PsStretch s = scanPsStretch(h, n);
        if (s.found && !s.streams.isEmpty())
            return s.mpeg2 ? StreamKind::Mpeg2Program : StreamKind::Mpeg1Program;
    }
    return StreamKind::Unknown;
}

StreamDetails describeStream(const QString& path)
{
    StreamDetails d;
    d.path = path;
    const MediaFile file(path);
    d.openError = file.error();
    if (d.openError)
        return d;
    d.bytes = file.size();
    const QByteArray head = file.read(0, kPsEndBytes);
    AudioLayout audio;
    switch (classifyStream(file, head, &audio)) {
    case StreamKind::Mpeg1Program:
    case StreamKind::Mpeg2Program:
        describeProgramStream(file, head, d);
        break;
    case StreamKind::VideoElementary:
        d.kind = StreamKind::VideoElementary;
        describeVideo(file, head, d);
        break;
    case StreamKind::MpegAudio:
        d.kind = StreamKind::MpegAudio;
        describeAudio(audio, d);
        break;
    case StreamKind::Unknown:
        break;
    }
    return d;
}

namespace {

QString english(const char* text)
{
    return QString::fromLatin1(text);
}

QString inUsersLanguage(const char* text)
{
    return QCoreApplication::translate("kt::StreamDetails", text);
}

// The kind's words through `say`: English for what programs read, translated for people.
QString kindText(const StreamDetails& d, QString (*say)(const char*))
{
    if (d.openError)
        return QString::fromLocal8Bit(std::strerror(d.openError));
    switch (d.kind) {
    case StreamKind::Mpeg1Program:
        return say(QT_TRANSLATE_NOOP("kt::StreamDetails", "MPEG-1 program stream"));
    case StreamKind::Mpeg2Program:
        return say(QT_TRANSLATE_NOOP("kt::StreamDetails", "MPEG-2 program stream"));
    case StreamKind::VideoElementary:
        return d.mpeg2Video ? say(QT_TRANSLATE_NOOP("kt::StreamDetails", "MPEG-2 video elementary stream"))
                            : say(QT_TRANSLATE_NOOP("kt::StreamDetails", "MPEG-1 video elementary stream"));
    case StreamKind::MpegAudio: {
        static const char* const layers[] = {"", "I", "II", "III"};
        const QString rate = QStringLiteral("%1 kbit/s").arg((d.bitRate + 500) / 1000);
        return say(QT_TRANSLATE_NOOP("kt::StreamDetails", "MPEG-%1 audio layer %2, %3, %4 Hz, %5"))
            .arg(versionText(d.audioVersion), QLatin1String(layers[d.audioLayer & 3]),
                 d.variableBitRate ? QStringLiteral("VBR ") + rate : rate)
            .arg(d.sampleRate)
            .arg(d.channels == 1 ? say(QT_TRANSLATE_NOOP("kt::StreamDetails", "mono"))
                                 : say(QT_TRANSLATE_NOOP("kt::StreamDetails", "stereo")));
    }
    case StreamKind::Unknown:
        break;
    }
    return say(QT_TRANSLATE_NOOP("kt::StreamDetails", "unknown"));
}

} // namespace

QString streamKindText(const StreamDetails& d)
{
    return kindText(d, english);
}

QString shownStreamKindText(const StreamDetails& d)
{
    return kindText(d, inUsersLanguage);
}

QJsonObject streamDetailsJson(const StreamDetails& d)
{
    static const char* const kinds[] = {"unknown", "mpeg1-program-stream", "mpeg2-program-stream",
                                        "video-elementary-stream", "mpeg-audio"};
    const auto orNull = [](auto value) { return value ? QJsonValue(value) : QJsonValue(); };
    const bool audio = d.kind == StreamKind::MpegAudio;
    QJsonObject o;
    o[QStringLiteral("path")] = d.path;
    o[QStringLiteral("bytes")] = d.openError ? QJsonValue() : QJsonValue(qint64(d.bytes));
    o[QStringLiteral("kind")] = QLatin1String(kinds[int(d.kind)]);
    o[QStringLiteral("kind_text")] = d.openError ? QJsonValue() : QJsonValue(streamKindText(d));
    o[QStringLiteral("width")] = orNull(d.width);
    o[QStringLiteral("height")] = orNull(d.height);
    o[QStringLiteral("frame_rate")] = d.width ? QJsonValue(frameRateValue(d.frameRateCode)) : QJsonValue();
    o[QStringLiteral("duration")] = d.duration ? QJsonValue(*d.duration) : QJsonValue();
    o[QStringLiteral("bit_rate")] = orNull(d.bitRate);
    o[QStringLiteral("sample_rate")] = orNull(d.sampleRate);
    o[QStringLiteral("channels")] = orNull(d.channels);
    o[QStringLiteral("audio_version")] =
        audio ? QJsonValue(d.audioVersion == 25 ? 2.5 : double(d.audioVersion)) : QJsonValue();
    o[QStringLiteral("audio_layer")] = orNull(d.audioLayer);
    o[QStringLiteral("error")] = d.openError ? QJsonValue(streamKindText(d)) : QJsonValue();
    return o;
}

} // namespace kt
