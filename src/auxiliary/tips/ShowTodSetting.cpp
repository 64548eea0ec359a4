// The one place that reads and writes ShowTod, so it can move onto the settings store's
// Registry calls without touching the windows.
#include "Tips.h"
#include "platform/Program.h"

#include <QSettings>

namespace kt {

QString readShowTod()
{
    QSettings settings(settingsOrganization(), settingsApplication());
    return settings.value(QStringLiteral("ShowTod")).toString();
}

void writeShowTod(const QString& value)
{
    QSettings settings(settingsOrganization(), settingsApplication());
    settings.setValue(QStringLiteral("ShowTod"), value);
}

} // namespace kt
