#include "SystemProbe.h"

#include <QRegularExpression>
#include <QSysInfo>

namespace kt {
namespace {

const SystemProbe* g_probe = nullptr;

const QString kDisplaySettings = QStringLiteral("Display\\Settings");
const QString kFonts = QStringLiteral("Software\\Fonts");
const QString kThemeManager = QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ThemeManager");
const QString kAppearance = QStringLiteral("Control Panel\\Appearance");

} // namespace

std::optional<QString> SystemProbe::stringValue(quint32 root, const QString& keyPath, const QString& valueName) const
{
    if (root == kHKeyCurrentConfig && keyPath == kDisplaySettings && valueName == QLatin1String("DPILogicalX"))
        return QString::number(m_facts.logicalDpi);
    if (root == kHKeyCurrentUser && keyPath == kThemeManager) {
        if (valueName == QLatin1String("ThemeActive"))
            return m_facts.themeActive;
        if (valueName == QLatin1String("SizeName"))
            return m_facts.themeSizeName;
    }
    if (root == kHKeyCurrentUser && keyPath == kAppearance && valueName == QLatin1String("Current"))
        return m_facts.appearanceCurrent;
    return std::nullopt;
}

std::optional<qint32> SystemProbe::dwordValue(quint32 root, const QString& keyPath, const QString& valueName) const
{
    if (root == kHKeyCurrentConfig && keyPath == kFonts && valueName == QLatin1String("LogPixels"))
        return m_facts.logicalDpi;
    return std::nullopt;
}

SystemFacts SystemProbe::runningSystemFacts(int screenLogicalDpi)
{
    SystemFacts f;
    f.logicalDpi = screenLogicalDpi;
    f.version.platformId = kPlatformOther;
    // "6.1.0-13-amd64" -> 6, 1
    static const QRegularExpression numbers(QStringLiteral("^(\\d+)\\.(\\d+)"));
    const auto m = numbers.match(QSysInfo::kernelVersion());
    if (m.hasMatch()) {
        f.version.major = m.captured(1).toInt();
        f.version.minor = m.captured(2).toInt();
    }
    f.version.name = QSysInfo::prettyProductName();
    return f;
}

void installSystemProbe(const SystemProbe* probe) { g_probe = probe; }

const SystemProbe& systemProbe()
{
    if (g_probe)
        return *g_probe;
    static const SystemProbe fallback(SystemProbe::runningSystemFacts(96));
    return fallback;
}

} // namespace kt
