#pragma once
// The join's arithmetic: how a file is cut into blocks, the percentage shown and the
// time-remaining estimate.
#include "base/TransferRate.h"

#include <QString>

namespace kt {

// A file of `length` bytes is copied as fullBlocks blocks of the block size and then, when
// it is not 0, one remainder: the value of the last blockDigits decimal digits of length.
struct BlockPlan
{
    quint64 fullBlocks = 0;
    quint64 remainder = 0;
    bool operator==(const BlockPlan&) const = default;
};
BlockPlan planBlocks(quint64 length, BlockSize block);

// packed / total * 100 rounded to the nearest integer, halves to even; 0 when total is 0.
int packPercent(quint64 packed, quint64 total);

// Blocks copied at once, after `packed` bytes of `total`: `blocks` blocks of blockSize, then
// `remainder` bytes when it is not 0 (the rest of a file). Their updates as the loop of one
// block at a time makes them: the percentage of the last (a remainder's shows the progress
// before it is counted), and the last even percentage among them with how far into the copy
// its block ended (evenPercent -1 when none is even: the estimate stays as it was).
struct CrossedBlocks
{
    int percent = 0;
    int evenPercent = -1;
    quint64 evenThrough = 0;
    bool operator==(const CrossedBlocks&) const = default;
};
CrossedBlocks crossBlocks(quint64 packed, quint64 blocks, quint64 blockSize, quint64 remainder,
                          quint64 total);

// The estimate after elapsedMs at percent p: 2 * elapsed * (100 / p - 1), p taken as 1
// when it is not positive, read as a time of day:
// "1 hour 5 minutes remaining", "2 minutes 1 second remaining", "0 second remaining".
// Two steps, so that the join makes the text only when the whole seconds change.
qint64 secondsRemaining(int percent, qint64 elapsedMs);
QString timeRemainingText(qint64 seconds);

// "42%"
QString percentText(int percent);

} // namespace kt
