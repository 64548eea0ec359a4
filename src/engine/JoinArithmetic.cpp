#include "JoinArithmetic.h"

#include <QCoreApplication>
#include <cmath>

namespace kt {

BlockPlan planBlocks(quint64 length, BlockSize block)
{
    if (block.blockSize <= 0 || block.blockDigits <= 0)
        return {0, length};
    quint64 modulus = 1;
    for (int i = 0; i < block.blockDigits; ++i)
        modulus *= 10;
    // The last blockDigits digits of the decimal form; 10^digits is a multiple of the block size.
    const quint64 remainder = length % modulus;
    return {(length - remainder) / quint64(block.blockSize), remainder};
}

int packPercent(quint64 packed, quint64 total)
{
    if (total == 0)
        return 0;
    // Exact: packed * 100 may not fit 64 bits for the largest counts.
    const unsigned __int128 num = (unsigned __int128)packed * 100u;
    const unsigned __int128 q = num / total;
    const unsigned __int128 twiceRest = (num % total) * 2u;
    unsigned __int128 p = q;
    if (twiceRest > total || (twiceRest == total && (q & 1u)))
        ++p;
    return int(p);
}

CrossedBlocks crossBlocks(quint64 packed, quint64 blocks, quint64 blockSize, quint64 remainder, quint64 total)
{
    const quint64 updates = blocks + (remainder != 0 ? 1 : 0);
    auto percentAt = [&](quint64 update) {
        return packPercent(packed + qMin(update, blocks) * blockSize, total);
    };
    CrossedBlocks crossed;
    crossed.percent = percentAt(updates);
    // From the end: an even percentage comes within a percent or two of blocks.
    for (quint64 u = updates; u > 0; --u) {
        const int p = percentAt(u);
        if (p % 2 == 0) {
            crossed.evenPercent = p;
            crossed.evenThrough = u > blocks ? blocks * blockSize + remainder : u * blockSize;
            break;
        }
    }
    return crossed;
}

qint64 secondsRemaining(int percent, qint64 elapsedMs)
{
    const double p = percent > 0 ? double(percent) : 1.0;
    const double remainingSeconds = 2.0 * (double(elapsedMs) / 1000.0) * (100.0 / p - 1.0);
    // Read as a time of day: whole seconds, hours wrap at 24.
    return std::max<qint64>(0, std::llround(remainingSeconds)) % 86400;
}

QString timeRemainingText(qint64 total)
{
    const qint64 h = total / 3600;
    const qint64 m = total / 60 % 60;
    const qint64 s = total % 60;
    const QString hourWord = h > 1 ? QCoreApplication::translate("kt::JoinArithmetic", " hours ")
                                   : QCoreApplication::translate("kt::JoinArithmetic", " hour ");
    const QString minuteWord = m > 1 ? QCoreApplication::translate("kt::JoinArithmetic", " minutes ")
                                     : QCoreApplication::translate("kt::JoinArithmetic", " minute ");
    const QString secondWord = s > 1 ? QCoreApplication::translate("kt::JoinArithmetic", " seconds ")
                                     : QCoreApplication::translate("kt::JoinArithmetic", " second ");
    const QString remaining = QCoreApplication::translate("kt::JoinArithmetic", "remaining");
    if (h > 0)
        return QString::number(h) + hourWord + QString::number(m) + minuteWord + remaining;
    if (m > 0)
        return QString::number(m) + minuteWord + QString::number(s) + secondWord + remaining;
    return QString::number(s) + secondWord + remaining;
}

QString percentText(int percent)
{
    return QString::number(percent) + QLatin1Char('%');
}

} // namespace kt
