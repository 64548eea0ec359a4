#pragma once
// Transfer rates: how many bytes the join copies per block, and the number of trailing
// decimal digits of a file length that form its remainder (10^digits is a multiple
// of the block size, so blocks * size + remainder is always the whole length).
#include <QString>
#include <optional>

namespace kt {

enum class TransferRate { Slow, Normal, Fast, UltraFast };

struct BlockSize
{
    int blockSize = 0;   // bytes per block
    int blockDigits = 0; // digits of the remainder
};

inline BlockSize blockSizeFor(TransferRate rate)
{
    switch (rate) {
    case TransferRate::Slow:
        return {10'000, 4};
    case TransferRate::Normal:
        return {100'000, 5};
    case TransferRate::Fast:
        return {1'000'000, 6};
    case TransferRate::UltraFast:
        return {5'000'000, 7};
    }
    return {};
}

// The stored names: "slow", "normal", "fast", "ufast".
inline QString transferRateName(TransferRate rate)
{
    switch (rate) {
    case TransferRate::Slow:
        return QStringLiteral("slow");
    case TransferRate::Normal:
        return QStringLiteral("normal");
    case TransferRate::Fast:
        return QStringLiteral("fast");
    case TransferRate::UltraFast:
        return QStringLiteral("ufast");
    }
    return {};
}

// Exact, case-sensitive.
inline std::optional<TransferRate> transferRateFromName(const QString& name)
{
    for (TransferRate r :
         {TransferRate::Slow, TransferRate::Normal, TransferRate::Fast, TransferRate::UltraFast})
        if (transferRateName(r) == name)
            return r;
    return std::nullopt;
}

} // namespace kt
