// The one place that reads and writes ShowTod, through the settings store's Registry calls.
#include "Tips.h"
#include "settings/Registry.h"
#include "settings/SettingsTable.h"

namespace kt {

QString readShowTod()
{
    return ReadRegString(HKEY_CURRENT_USER, appKeyPath(), settingsKey::showTod(), QString());
}

void writeShowTod(const QString& value)
{
    WriteRegString(HKEY_CURRENT_USER, appKeyPath(), settingsKey::showTod(), value);
}

} // namespace kt
