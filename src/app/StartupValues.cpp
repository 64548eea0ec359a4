#include "StartupValues.h"

#include "platform/Program.h"
#include "settings/Registry.h"

namespace kt {
namespace {
StartupValues g_values;
const QString kThemeManager = QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ThemeManager");
} // namespace

StartupValues detectStartupValues(const QString& executableDir)
{
    StartupValues v;
    v.programDir = programDataDir(programDirFrom(executableDir));

    QString dpi = ReadRegString(HKEY_CURRENT_CONFIG, QStringLiteral("Display\\Settings"),
                                QStringLiteral("DPILogicalX"));
    qint32 logPixels = 0;
    if (dpi.isEmpty())
        logPixels =
            ReadRegDword(HKEY_CURRENT_CONFIG, QStringLiteral("Software\\Fonts"), QStringLiteral("LogPixels"));
    v.normalDpi = normalDpiFrom(dpi, logPixels);

    const OsVersionInfo version = systemProbe().version();
    ThemeValues theme;
    if (isWindowsXP(version)) {
        theme.themeActive = ReadRegString(HKEY_CURRENT_USER, kThemeManager, QStringLiteral("ThemeActive"));
        theme.sizeName = ReadRegString(HKEY_CURRENT_USER, kThemeManager, QStringLiteral("SizeName"));
        theme.current = ReadRegString(HKEY_CURRENT_USER, QStringLiteral("Control Panel\\Appearance"),
                                      QStringLiteral("Current"));
    }
    const SystemLayout layout = layoutFor(version, theme);
    v.isWindowsXP = layout.isWindowsXP;
    v.metrics = layout.metrics;
    return v;
}

const StartupValues& startupValues()
{
    return g_values;
}
void setStartupValues(const StartupValues& values)
{
    g_values = values;
}

} // namespace kt
