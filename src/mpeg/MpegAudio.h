#pragma once
// MPEG audio files (ISO/IEC 11172-3, 13818-3; MP3 and MP2) and the tags around them.
//
// Frame header, 4 bytes: 11 sync bits, version (3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5), layer
// (3 I, 2 II, 1 III), no-CRC bit, bit-rate index, sample-rate index, padding, private,
// channel mode (3 mono), ... Frame length: layer I (12 x bitrate / rate + padding) x 4,
// layer II 144 x bitrate / rate + padding, layer III the same (72 x for MPEG-2/2.5).
//
// In the first frame a VBR header may describe the stream: "Xing" or "Info" after the side
// information (flags: 1 frames, 2 bytes, 4 a 100-entry seek table, 8 quality; the frame
// count leaves out this frame, the byte count takes it in), followed by a LAME tag (encoder
// delay and padding, music length and CRC, and a CRC-16 of the frame's first bytes), or
// "VBRI" 32 bytes after the header. Around the frames: ID3v2 tags at the front ("ID3",
// synchsafe size, an optional footer), APEv2 ("APETAGEX" footer) and ID3v1 (128 bytes,
// "TAG") at the end.
#include <QByteArray>
#include <QVector>
#include <QtGlobal>

namespace kt {

class MediaFile;

struct AudioFrameHeader
{
    int version = 0; // 1, 2 or 25 (MPEG-2.5)
    int layer = 0;   // 1 to 3
    int bitRate = 0; // kbit/s
    int sampleRate = 0;
    int channels = 0;
    int length = 0;  // bytes of the whole frame
    int samples = 0; // per channel in this frame
    bool crc = false;
    int bitRateIndex = 0;
    bool sameFormat(const AudioFrameHeader& o) const
    {
        return version == o.version && layer == o.layer && sampleRate == o.sampleRate;
    }
};
// False for anything that is not a usable frame header (free format included).
bool decodeAudioHeader(const uchar* p, AudioFrameHeader& out);

// Size of the ID3v2 tag at p (header, tag and footer), 0 when there is none. Needs 10 bytes.
qint64 id3v2TagSize(const uchar* p);

// The VBR header in a stream's first frame.
struct VbrHeader
{
    enum Kind { None, Xing, Vbri };
    Kind kind = None;
    bool info = false;   // "Info": written for a constant bit rate
    int frameLength = 0; // of the frame holding it (0 without a VBR header)
    int at = 0;          // of the tag name within the frame
    quint32 flags = 0;   // Xing flags
    qint64 frames = -1;
    qint64 bytes = -1;
    int framesAt = -1; // of the fields within the frame
    int bytesAt = -1;
    int tocAt = -1;  // Xing: 100 entries; VBRI: entry table
    int lameAt = -1; // LAME tag within the frame (Xing only), checked by its CRC or name
    int delay = 0;   // encoder delay and padding from the LAME tag
    int padding = 0;
};
VbrHeader findVbrHeader(const uchar* frame, const AudioFrameHeader& header);

// CRC-16 (polynomial 0x8005, reflected, start 0) as the LAME tag uses it.
quint16 crc16(const uchar* data, qint64 size, quint16 crc = 0);

// Where the audio of a file lies and what its frames say.
struct AudioLayout
{
    quint64 audioStart = 0; // after the leading ID3v2 tags
    quint64 audioEnd = 0;   // before the trailing APEv2 and ID3v1 tags
    quint64 firstFrame = 0;
    AudioFrameHeader first; // of the first frame
    VbrHeader vbr;          // in the first frame
    qint64 frames = 0;      // whole frames counted, without a VBR header's frame
    qint64 samples = 0;     // per channel, over those frames
    bool uniformBitRate = true;
    bool counted = false;         // frames walked (else taken from the VBR header)
    QVector<quint64> frameStarts; // file offset of each counted frame, when asked for
};

// The file's layout when it is MPEG audio: after its ID3v2 tags, within 64 KiB, three frames
// that follow one another (or fewer that end the audio). Frames are walked to the end, unless
// `walk` is false and the VBR header gives the count. Junk between frames is skipped.
bool scanMpegAudio(const MediaFile& file, AudioLayout& out, bool walk, bool index = false);

} // namespace kt
