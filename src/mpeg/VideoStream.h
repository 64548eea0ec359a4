#pragma once
// MPEG-1/MPEG-2 video elementary streams (ISO/IEC 11172-2, 13818-2): the start codes that
// matter here, the exact frame rates, GOP time codes and picture counting.
//   00 00 01 00 picture: 10 bits temporal reference (display order within its GOP)
//   00 00 01 B3 sequence header (see SequenceHeader.h); B5 extension: id 1 marks MPEG-2
//   00 00 01 B8 GOP: 25-bit time code drop_frame | hours 5 | minutes 6 | 1 | seconds 6 |
//               pictures 6, then closed_gop, broken_link
#include "mpeg/SequenceHeader.h"

#include <QtGlobal>

namespace kt {

class MediaFile;

inline constexpr uchar kPictureCode = 0x00;
inline constexpr uchar kSequenceCode = 0xB3;
inline constexpr uchar kExtensionCode = 0xB5;
inline constexpr uchar kGopCode = 0xB8;

// A frame rate as a fraction; 0/1 for the forbidden and reserved codes.
struct FrameRate
{
    qint64 num = 0;
    qint64 den = 1;
    bool valid() const { return num > 0; }
    double value() const { return double(num) / double(den); }
    // One frame in 90 kHz ticks, rounded.
    qint64 ticks() const { return valid() ? (90000 * den + num / 2) / num : 0; }
    // Frames per second as counted by time codes: 30 for 29.97.
    int nominal() const { return valid() ? int((num + den - 1) / den) : 0; }
};
FrameRate exactFrameRate(int frameRateCode);

// What the first sequence header of a stream says.
struct VideoSequence
{
    SequenceHeader header;
    bool mpeg2 = false; // followed by a sequence extension
};
// The first sequence header in data[0, size) (with its extension when it follows there).
bool findVideoSequence(const uchar* data, qsizetype size, VideoSequence& out);

// The 25-bit time code of a GOP header starting at p (00 00 01 B8, 8 bytes) in frames, and
// back. Drop-frame codes (29.97) skip frame numbers 0 and 1 of every minute not divisible
// by ten; the day wraps at 24 hours.
qint64 gopTimeCodeFrames(const uchar* gop, int nominalFps);
void writeGopTimeCode(uchar* gop, qint64 frames, int nominalFps);

// The pictures of a video elementary stream file, counted with a bounded buffer.
qint64 countPictures(const MediaFile& file);

} // namespace kt
