#include "SettingsTable.h"

namespace kt {
namespace {
const char* const kNames[] = {"No", "Prompt", "NoPrompt"};

std::optional<int> indexOf(const QString& text)
{
    for (int i = 0; i < 3; ++i)
        if (text == QLatin1String(kNames[i]))
            return i;
    return std::nullopt;
}
} // namespace

QString storedText(DeleteAfterAction a)
{
    return QLatin1String(kNames[int(a)]);
}
QString storedText(OverwritePolicy p)
{
    return QLatin1String(kNames[int(p)]);
}

std::optional<DeleteAfterAction> delAfterActionFrom(const QString& text)
{
    if (auto i = indexOf(text))
        return DeleteAfterAction(*i);
    return std::nullopt;
}

std::optional<OverwritePolicy> overwritePolicyFrom(const QString& text)
{
    if (auto i = indexOf(text))
        return OverwritePolicy(*i);
    return std::nullopt;
}

bool isKnownStoredValue(const QString& name, const QString& text)
{
    using namespace settingsKey;
    if (name == tRate())
        return transferRateFromName(text).has_value();
    if (name == delact() || name == owrite())
        return indexOf(text).has_value();
    if (name == mcc() || name == seamless())
        return text == onOffText(true) || text == onOffText(false);
    if (name == showTod())
        return text == QLatin1String("1") || text == QLatin1String("0");
    return false;
}

} // namespace kt
