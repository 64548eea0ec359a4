#include "SeamlessRewriter.h"

#include "mpeg/HeaderScan.h"
#include "mpeg/MpegClock.h"
#include "mpeg/ProgramStream.h"
#include "mpeg/VideoStream.h"

#include <algorithm>
#include <cstring>

namespace kt {
namespace {

static_assert(kMaxUnitHead <= SeamlessRewriter::kMaxHeldBack &&
              SeamlessRewriter::kMaxHeldBack <= SeamlessRewriter::kHeadroom);

constexpr qint64 kScrWrap = qint64(kClockWrap) * 300; // the SCR in 27 MHz units

qint64 floorMod(qint64 a, qint64 m)
{
    return ((a % m) + m) % m;
}

// Where to keep back the end of the bytes when it may begin a start code: 00, 00 00 or
// 00 00 01 (never before `from`, where the search resumes).
qsizetype startCodeTail(const uchar* d, qsizetype from, qsizetype end)
{
    if (end - from >= 3 && d[end - 3] == 0 && d[end - 2] == 0 && d[end - 1] == 1)
        return end - 3;
    qsizetype keep = end;
    while (keep > from && end - keep < 2 && d[keep - 1] == 0)
        --keep;
    return keep;
}

} // namespace

SeamlessRewriter::SeamlessRewriter(SeamlessPlan plan) : m_plan(std::move(plan)) {}

void SeamlessRewriter::beginPart(int index)
{
    m_part = index >= 0 && index < m_plan.parts.size() ? &m_plan.parts[index] : nullptr;
    m_pos = 0;
    m_heldSize = 0;
    m_editIndex = 0;
    m_skip = 0;
    m_synced = true;
    m_partHasGop = false;
    m_timeOffset = 0;
    m_picturesSinceGop = 0;
}

QByteArrayView SeamlessRewriter::feed(char* block, qsizetype size)
{
    if (!m_part || !m_part->rewritten || size <= 0)
        return {block, std::max<qsizetype>(size, 0)};
    if (m_part->format == PartFormat::MpegAudio) {
        const qsizetype out = audio(reinterpret_cast<uchar*>(block), size);
        m_pos += quint64(size);
        return {block, out};
    }
    // The bytes kept back go in front of the block, and the walk starts with them.
    char* begin = block - m_heldSize;
    std::memcpy(begin, m_held.data(), size_t(m_heldSize));
    const qsizetype total = m_heldSize + size;
    uchar* d = reinterpret_cast<uchar*>(begin);
    const qsizetype keep =
        m_part->format == PartFormat::ProgramStream ? programStream(d, 0, total) : videoStream(d, 0, total);
    m_heldSize = total - keep;
    std::memcpy(m_held.data(), begin + keep, size_t(m_heldSize));
    return {begin, keep};
}

QByteArrayView SeamlessRewriter::endPart()
{
    if (m_part && m_part->rewritten && m_part->format == PartFormat::VideoElementary) {
        if (m_partHasGop) {
            m_videoEnd = m_lastGop + m_picturesSinceGop;
            m_haveVideoEnd = true;
        } else if (m_haveVideoEnd) {
            m_videoEnd += m_picturesSinceGop;
        }
    }
    m_part = nullptr;
    const qsizetype held = m_heldSize;
    m_heldSize = 0;
    return {m_held.data(), held};
}

qsizetype SeamlessRewriter::programStream(uchar* d, qsizetype p, qsizetype end)
{
    for (;;) {
        if (m_skip > 0) {
            const qint64 n = std::min<qint64>(m_skip, end - p);
            p += qsizetype(n);
            m_skip -= n;
            if (m_skip > 0)
                return end;
        }
        if (p >= end)
            return end;
        if (!m_synced) { // to the next pack header
            const qsizetype at = findStartCode(d + p, end - p);
            if (at < 0)
                return startCodeTail(d, p, end);
            p += at;
            if (p + 3 >= end)
                return p;
            if (d[p + 3] != 0xBA) {
                p += 3;
                continue;
            }
            m_synced = true;
        }
        const PsUnit u = parsePsUnit(d + p, end - p);
        if (u.status == PsUnit::NeedMore)
            return p;
        if (u.status == PsUnit::Bad) {
            m_synced = false;
            ++p;
            continue;
        }
        if (u.scrAt >= 0)
            rewriteScr(d + p + u.scrAt, u.mpeg2);
        if (m_part->shift) {
            for (const int at : {u.ptsAt, u.dtsAt})
                if (at >= 0)
                    writeTimestamp(d + p + at, clockAdd(readTimestamp(d + p + at), m_part->clockOffset));
        }
        m_skip = u.size;
    }
}

// Each SCR moves with its part's clocks, but the output's system clock never goes back:
// one that would fall to or below the last one written is raised just above it.
void SeamlessRewriter::rewriteScr(uchar* f, bool mpeg2)
{
    quint64 base = mpeg2 ? readScr2Base(f) : readTimestamp(f);
    const int extension = mpeg2 ? std::min(readScr2Extension(f), 299) : 0;
    if (m_part->shift)
        base = clockAdd(base, m_part->clockOffset);
    const qint64 value = qint64(base) * 300 + extension;
    qint64 next = value;
    if (m_haveScr) {
        qint64 d = floorMod(value - m_lastScr, kScrWrap);
        if (d >= kScrWrap / 2)
            d -= kScrWrap;
        next = m_lastScr + d;
        if (m_part->shift && next <= m_lastScr)
            next = mpeg2 ? m_lastScr + 1 : (m_lastScr - floorMod(m_lastScr, 300)) + 300;
    }
    m_haveScr = true;
    m_lastScr = next;
    if (!m_part->shift)
        return;
    const qint64 written = floorMod(next, kScrWrap);
    if (mpeg2)
        writeScr2(f, quint64(written / 300), int(written % 300));
    else
        writeTimestamp(f, quint64(written / 300));
}

// Only pictures and GOP headers matter: the search passes over slices and the rest.
qsizetype SeamlessRewriter::videoStream(uchar* d, qsizetype p, qsizetype end)
{
    const int fps = m_part->nominalFps;
    for (;;) {
        const qsizetype at = findStartCodeOf(d + p, end - p, kPictureCode, kGopCode);
        if (at < 0)
            return startCodeTail(d, p, end);
        const qsizetype q = p + at;
        if (d[q + 3] == kGopCode) {
            if (q + 8 > end)
                return q;
            const qint64 frames = gopTimeCodeFrames(d + q, fps);
            if (!m_partHasGop) {
                m_partHasGop = true;
                m_timeOffset = m_haveVideoEnd ? m_videoEnd + m_picturesSinceGop - frames : 0;
            }
            m_lastGop = frames + m_timeOffset;
            m_picturesSinceGop = 0;
            if (m_timeOffset != 0)
                writeGopTimeCode(d + q, m_lastGop, fps);
        } else {
            ++m_picturesSinceGop;
        }
        p = q + 3;
    }
}

// Leaves out and replaces the plan's byte ranges, moving the rest of the block down.
qsizetype SeamlessRewriter::audio(uchar* d, qsizetype end)
{
    const QVector<SeamlessPart::Edit>& edits = m_part->edits;
    qsizetype in = 0, out = 0;
    while (in < end) {
        const quint64 pos = m_pos + quint64(in);
        while (m_editIndex < edits.size() && edits[m_editIndex].at + edits[m_editIndex].length <= pos)
            ++m_editIndex;
        const quint64 blockEnd = m_pos + quint64(end);
        qsizetype n = end - in;
        const SeamlessPart::Edit* e = m_editIndex < edits.size() ? &edits[m_editIndex] : nullptr;
        if (e && e->at > pos)
            n = qsizetype(std::min(e->at, blockEnd) - pos);
        if (!e || e->at > pos) { // kept as it is
            if (out != in)
                std::memmove(d + out, d + in, size_t(n));
            out += n;
        } else {
            n = qsizetype(std::min(e->at + e->length, blockEnd) - pos);
            if (!e->replacement.isEmpty()) {
                std::memcpy(d + out, e->replacement.constData() + (pos - e->at), size_t(n));
                out += n;
            }
        }
        in += n;
    }
    return out;
}

} // namespace kt
