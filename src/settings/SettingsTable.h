#pragma once
// The values of the program's settings key and their stored texts. Stored texts are
// compared exactly and case-sensitively; anything else counts as unknown.
#include "base/PackOptions.h"

#include <QString>
#include <optional>

namespace kt {

namespace settingsKey {
inline QString tRate()
{
    return QStringLiteral("tRate");
}
inline QString delact()
{
    return QStringLiteral("Delact");
}
inline QString owrite()
{
    return QStringLiteral("Owrite");
}
inline QString mcc()
{
    return QStringLiteral("MCC");
}
inline QString showTod()
{
    return QStringLiteral("ShowTod");
}
inline QString seamless()
{
    return QStringLiteral("Seamless");
}
} // namespace settingsKey

// "No", "Prompt", "NoPrompt" for both groups.
QString storedText(DeleteAfterAction a);
QString storedText(OverwritePolicy p);
std::optional<DeleteAfterAction> delAfterActionFrom(const QString& text);
std::optional<OverwritePolicy> overwritePolicyFrom(const QString& text);

// "On"/"Off": the MPEG check and Seamless Join.
inline QString onOffText(bool on)
{
    return on ? QStringLiteral("On") : QStringLiteral("Off");
}

// The value names of the key with the texts each may hold. A stored value outside this
// table (another name, another text) is junk: reading it gives what its absence gives.
bool isKnownStoredValue(const QString& name, const QString& text);

} // namespace kt
