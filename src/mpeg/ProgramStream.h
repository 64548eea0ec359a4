#pragma once
// The units of an MPEG program stream (ISO/IEC 11172-1 system stream, ISO/IEC 13818-1
// program stream), each starting with 00 00 01 and a code byte:
//   BA pack header: MPEG-1 12 bytes (SCR); MPEG-2 14 bytes plus up to 7 stuffing (SCR)
//   B9 end code, 4 bytes
//   BB system header, BC map, BE padding, BF private 2, F0-F2, F8, FF: a 16-bit length, no clock
//   BD private 1, C0-DF audio, E0-EF video and the other ids: a PES packet with a 16-bit
//      length and a header that may hold a PTS, or a PTS and a DTS (MPEG-1 or MPEG-2 layout,
//      told apart by the first header byte, as decoders do)
#include <QtGlobal>

namespace kt {

// The most bytes from a unit's start needed to see all of its clock fields (an MPEG-1 PES
// header with 16 stuffing bytes, the STD buffer size, a PTS and a DTS).
inline constexpr qsizetype kMaxUnitHead = 34;

struct PsUnit
{
    enum Status { Ok, NeedMore, Bad };
    Status status = Bad;
    uchar code = 0;
    qint64 size = 0;    // bytes from the start code to the next unit
    bool mpeg2 = false; // pack header layout (BA only)
    int scrAt = -1;     // field offsets from the unit's start, -1 when absent
    int ptsAt = -1;
    int dtsAt = -1;
    int payloadAt = 0; // PES: where the payload starts
};

// Decodes the unit starting at p (00 00 01 xx) from the `avail` bytes there. NeedMore when
// more bytes are needed (never more than kMaxUnitHead); Bad when this is no unit of a
// program stream (another start code, a pack header with broken marker bits). A PES header
// that cannot be read (broken markers, longer than its packet) gives a packet without clocks.
PsUnit parsePsUnit(const uchar* p, qsizetype avail);

// A PES packet's stream carries the PES header with optional clocks.
bool pesHasHeader(uchar code);

} // namespace kt

#include "mpeg/VideoStream.h"

#include <QVector>

namespace kt {

// The clocks of one elementary stream within a stretch of a program stream.
struct PsStreamClock
{
    quint16 key = 0;       // stream id << 8, and for private stream 1 (BD) its substream id
    quint64 firstPts = 0;  // the first PTS met
    quint64 lastPts = 0;   // the latest PTS met (on the 33-bit circle, from firstPts)
    qint64 frameTicks = 0; // one access unit (frame), when its header could be read; else 0
    bool isVideo() const { return (key >> 8) >= 0xE0 && (key >> 8) <= 0xEF; }
};

// What a stretch of a program stream (its head or its tail) shows.
struct PsStretch
{
    bool found = false; // pack headers that follow one another
    bool mpeg2 = false; // the first pack header's layout
    QVector<PsStreamClock> streams;
    bool hasSequence = false;
    VideoSequence sequence; // the first sequence header in the first video stream
    // Presentation of the first video stream's pictures, from the PTS of the packets that
    // start pictures and the pictures' temporal references: the first picture shown and the
    // end of the last one (a frame after it). Valid when videoSpan is set.
    bool videoSpan = false;
    quint64 videoFirst = 0;
    quint64 videoEnd = 0;
};

// Walks data[0, size) pack by pack from the first pack header that is followed by another
// unit. `frameTicks` is one video frame (from the stream's head) for a tail without a
// sequence header; 0 to take it from the stretch.
PsStretch scanPsStretch(const uchar* data, qsizetype size, qint64 frameTicks = 0);

} // namespace kt

namespace kt {

class MediaFile;

// The head and the tail of a program stream file: 256 KiB each, each reaching further (four
// times as far each time, up to 16 MiB) until it holds clocks, and when the stream has video,
// pictures whose time is known (and in the head a sequence header). `firstBytes` are the
// file's first bytes as already read.
struct PsEnds
{
    PsStretch head;
    PsStretch tail;
};
PsEnds scanPsEnds(const MediaFile& file, const QByteArray& firstBytes);
inline constexpr qint64 kPsEndBytes = 256 * 1024;
inline constexpr qint64 kPsEndLimit = 16 * 1024 * 1024;

// The earliest first PTS of any stream in the head.
quint64 psStartPts(const PsStretch& head);
// From there to the latest last PTS in the tail plus one frame of its stream, in ticks; -1
// when either end has none.
qint64 psDurationTicks(const PsEnds& ends);

} // namespace kt
