#pragma once
// Seamless Join, step one: the plan, made before the join from the sources.
//
// Each source is a part of one of three chains, by what it holds: program streams (MPEG-1
// system and MPEG-2 program streams), video elementary streams, MPEG audio. A part of any
// other kind, or one whose clocks or frames cannot be read, is copied as it is.
// - Program streams: every PTS and DTS of part k (after the chain's first) moves by one
//   offset so that its first picture is presented one frame after the previous part's last
//   (from the pictures' temporal references in the heads and tails; without video, from the
//   audio clocks); every SCR moves by the same offset, but never below the last one
//   written (the rewriter raises it to follow). Only clock bits change: same size.
// - Video elementary streams: GOP time codes continue from the previous part's pictures.
// - MPEG audio: the chain's first ID3v2 tag stays at the front, the ID3v2 tags (and any
//   bytes before the first frame) of later parts and the APEv2/ID3v1 tags of all parts but
//   the last are left out, the VBR header frames of later parts are left out, and the first
//   part's VBR header frame (same size) is rewritten for the joined stream: frame and byte
//   counts, seek table, the LAME tag's padding (of the last part), music length and CRC,
//   tag CRC. A first part without a VBR header frame gets none. Output: smaller.
// Reads the heads and tails of program streams and elementary video streams, and the whole
// of MPEG audio files (their frames are indexed for the seek table and the music CRC).
#include <QByteArray>
#include <QString>
#include <QVector>

namespace kt {

struct SeamlessSource
{
    QString path;
    quint64 length = 0; // as measured for the pack
};

enum class PartFormat { Other, ProgramStream, VideoElementary, MpegAudio };

struct SeamlessPart
{
    QString path;
    quint64 length = 0;       // as given
    quint64 outputLength = 0; // the bytes this part contributes to the output
    PartFormat format = PartFormat::Other;
    bool rewritten = false; // false: copied as it is
    QString reason;         // why it is copied as it is (see planSeamlessJoin)
    int openError = 0;      // errno when it could not be opened

    // What the rewriter applies (see SeamlessRewriter.h).
    bool shift = false;      // program streams: not the chain's first part
    quint64 clockOffset = 0; // program streams: added to PTS, DTS and SCR (33 bits)
    int nominalFps = 0;      // video elementary streams: frames per second of time codes
    struct Edit
    {
        quint64 at = 0;
        quint64 length = 0;
        QByteArray replacement; // empty: the bytes are left out; else exactly `length` bytes
    };
    QVector<Edit> edits; // MPEG audio, in order, not overlapping
};

struct SeamlessPlan
{
    QVector<SeamlessPart> parts;
    quint64 outputSize = 0; // program streams: the sum; MPEG audio: less
    // MPEG audio parts differ in MPEG version, layer or sample rate: the pack asks first.
    bool mixedAudio = false;
    // Indexes of the parts that are copied as they are, for the pack's closing report.
    QVector<int> unchangedParts() const;
};

// "not an MPEG stream", "damaged" (its clocks or frames could not be read), "changed size"
// (its length is not the one given), or the system's text of its open error.
SeamlessPlan planSeamlessJoin(const QVector<SeamlessSource>& sources);

} // namespace kt
