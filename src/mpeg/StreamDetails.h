#pragma once
// What a file holds, for the Pack List's tooltips and the packer's --info --json: its size,
// the kind of stream, picture size and rate, duration, and for MPEG audio the bit rate,
// sample rate and channels. Reads the heads and tails of program streams, the headers of
// MPEG audio (or its frames, when no VBR header counts them) and the start codes of video
// elementary streams, always through a bounded buffer.
//
// Durations:
// - program streams: from the earliest first PTS of any audio or video stream to the latest
//   last PTS of one plus one of its frames, as ffprobe measures them;
// - video elementary streams: pictures counted / frame rate;
// - MPEG audio: the VBR header's frame count, else the frames counted, x samples / rate.
#include <QJsonObject>
#include <QString>
#include <optional>

namespace kt {

enum class StreamKind { Unknown, Mpeg1Program, Mpeg2Program, VideoElementary, MpegAudio };

struct StreamDetails
{
    QString path;
    int openError = 0; // errno when the file could not be opened (nothing else is known then)
    quint64 bytes = 0;
    StreamKind kind = StreamKind::Unknown;
    // Video (program streams with video, elementary streams); 0 when there is none.
    int width = 0;
    int height = 0;
    int frameRateCode = 0; // of the sequence header; frameRateValue() gives the number shown
    bool mpeg2Video = false;
    std::optional<double> duration; // seconds; empty when it cannot be told
    // MPEG audio files; 0 otherwise.
    int audioVersion = 0; // 1, 2 or 25 (MPEG-2.5)
    int audioLayer = 0;
    qint64 bitRate = 0; // bit/s; the average over the stream when it varies
    bool variableBitRate = false;
    int sampleRate = 0;
    int channels = 0;
};

StreamDetails describeStream(const QString& path);

class MediaFile;
struct AudioLayout;
// The kind of stream in `file` from its first bytes `head` (256 KiB): a pack header at
// the start, a sequence header at the start, MPEG audio frames (after ID3v2 tags), or pack
// headers further in. For MPEG audio, `audio` (when given) receives the layout found
// without walking the frames that a VBR header counts.
StreamKind classifyStream(const MediaFile& file, const QByteArray& head, AudioLayout* audio = nullptr);

// "MPEG-1 program stream", "MPEG-2 video elementary stream",
// "MPEG-1 audio layer III, 192 kbit/s, 44100 Hz, stereo" (VBR: "VBR 128 kbit/s"),
// "unknown"; for a file that cannot be opened the system's error text.
QString streamKindText(const StreamDetails& details);
// The same in the user's language, for people to read (machine-read output keeps the above).
QString shownStreamKindText(const StreamDetails& details);

// One JSON object: path, bytes, kind ("mpeg1-program-stream", "mpeg2-program-stream",
// "video-elementary-stream", "mpeg-audio", "unknown"), kind_text, width, height, frame_rate,
// duration (seconds), bit_rate (bit/s), sample_rate, channels, audio_version (1, 2, 2.5),
// audio_layer, error (the system's text when the file could not be opened). Any value that
// does not apply or cannot be told is null.
QJsonObject streamDetailsJson(const StreamDetails& details);

} // namespace kt
