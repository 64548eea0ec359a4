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

} // namespace kt
