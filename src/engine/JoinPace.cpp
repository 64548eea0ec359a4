#include "JoinPace.h"

#include <algorithm>

namespace kt {
namespace {

constexpr qint64 kMostGrowth = 8;

} // namespace

JoinPace::JoinPace(qint64 frameMicroseconds) : m_frame(qMax<qint64>(1, frameMicroseconds)) {}

quint64 JoinPace::blocksPerCopy(qint64 blockSize) const
{
    return quint64(qMax<qint64>(1, m_nextBytes / qMax<qint64>(1, blockSize)));
}

void JoinPace::copied(qint64 bytes, qint64 microseconds)
{
    const qint64 most = bytes * kMostGrowth;
    // bytes * frame / time, without overflow for the largest copies.
    const double perFrame =
        microseconds > 0 ? double(bytes) * double(m_frame) / double(microseconds) : double(most);
    m_nextBytes = qint64(std::min(perFrame, double(most)));
}

bool JoinPace::passDue(qint64 sinceLastPass, qint64 lastStep) const
{
    return sinceLastPass + qMax<qint64>(0, lastStep) >= m_frame;
}

} // namespace kt
