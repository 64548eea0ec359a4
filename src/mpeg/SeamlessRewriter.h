#pragma once
// Seamless Join, step two: rewriting the parts as the join copies them.
//
// The join loop feeds each part's bytes in order, block by block (any sizes, any
// boundaries), and writes what each call returns:
//
//     SeamlessRewriter rewriter(plan);
//     for each part i in plan order:
//         rewriter.beginPart(i);
//         for each block read from part i into buffer + kHeadroom:
//             QByteArrayView out = rewriter.feed(buffer + kHeadroom, blockSize);
//             write out (Retry writes the same view again)
//         write rewriter.endPart();
//     On Cancel after a block: write rewriter.endPart() too, so that the output holds
//     exactly the blocks read, rewritten as far as their bytes allowed.
//
// feed() rewrites the block in place and may put bytes kept back from the previous call in
// the kHeadroom bytes before it: the view it returns lies within [block - kHeadroom, block +
// size) and stays valid until the buffer is reused. It keeps back at most kMaxHeldBack bytes
// at the block's end, a clock field or start code cut by the block's end, until the next
// call or endPart(); the view endPart() returns (those bytes, as they are) stays valid until
// the next call. Program stream and video parts come out at their own size; MPEG audio parts
// at the plan's outputLength. The output is the same whatever the block sizes, so the
// read-back check can make it again this way.
//
// Parts are fed in plan order from the first: the SCRs of a program stream part and the
// time codes of a video part follow what the earlier parts wrote. A part the plan copies as
// it is passes through untouched; so does what cannot be parsed within a part (the rewriter
// then looks for the next pack header); nothing is ever a failure.
#include "mpeg/SeamlessPlan.h"

#include <QByteArrayView>
#include <array>

namespace kt {

class SeamlessRewriter
{
public:
    static constexpr qsizetype kHeadroom = 64;
    static constexpr qsizetype kMaxHeldBack = 40;

    explicit SeamlessRewriter(SeamlessPlan plan);

    void beginPart(int index);
    QByteArrayView feed(char* block, qsizetype size);
    QByteArrayView endPart();

private:
    // Rewrites data[from, end) in place; returns where the bytes to keep back start.
    qsizetype programStream(uchar* data, qsizetype from, qsizetype end);
    qsizetype videoStream(uchar* data, qsizetype from, qsizetype end);
    qsizetype audio(uchar* data, qsizetype end);
    void rewriteScr(uchar* field, bool mpeg2);

    SeamlessPlan m_plan;
    const SeamlessPart* m_part = nullptr;
    quint64 m_pos = 0; // bytes of the part taken in so far (not counting those held back)
    std::array<char, kMaxHeldBack> m_held{};
    qsizetype m_heldSize = 0;
    int m_editIndex = 0;

    // Program streams: the bytes of the current unit still to pass, and whether the walk
    // knows where the next unit starts.
    qint64 m_skip = 0;
    bool m_synced = true;
    bool m_haveScr = false;
    qint64 m_lastScr = 0; // in 27 MHz units, unwrapped over the whole output

    // Video elementary streams: frame numbers of the time codes as written.
    bool m_haveVideoEnd = false;
    qint64 m_videoEnd = 0; // the frame after the last picture written
    bool m_partHasGop = false;
    qint64 m_timeOffset = 0;
    qint64 m_lastGop = 0;
    qint64 m_picturesSinceGop = 0;
};

} // namespace kt
