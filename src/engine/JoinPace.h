#pragma once
// The join's pace: when it lets events through and how many blocks one kernel copy spans.
//
// A screen shows a new picture once a frame (about 16 ms), so events go through at least
// once a frame, which is how soon Cancel is seen, and not at every block: a pass per block
// cost more than the copy itself at the small block sizes. For the same reason one kernel
// copy spans as many blocks as fit in about a frame at the rate measured so far; every call
// has a cost of its own (see bench/join).
#include <QtGlobal>

namespace kt {

class JoinPace
{
public:
    explicit JoinPace(qint64 frameMicroseconds);

    // Blocks of blockSize for the next kernel copy: at least one, about a frame's worth at
    // the last copy's rate, and at most eight times the last copy while a copy is too quick
    // to measure (a copy of held-back bytes only, or the first ones).
    quint64 blocksPerCopy(qint64 blockSize) const;
    // A copy of `bytes` took `microseconds`.
    void copied(qint64 bytes, qint64 microseconds);
    // Whether events must go through now, `sinceLastPass` microseconds after they last did,
    // when the step just done took `lastStep`: when another step as long would end past the
    // frame.
    bool passDue(qint64 sinceLastPass, qint64 lastStep) const;

private:
    qint64 m_frame;
    qint64 m_nextBytes = 0; // 0: one block
};

} // namespace kt
