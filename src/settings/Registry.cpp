#include "Registry.h"

#include <QSettings>

#include "platform/Program.h"

namespace kt {
namespace {

bool isAppKey(quint32 root, const QString& keyPath)
{
    return root == HKEY_CURRENT_USER && keyPath == appKeyPath();
}

// Value names become top-level keys; QSettings would treat '/' and '\' as groups.
bool usableName(const QString& valueName)
{
    return !valueName.isEmpty() && !valueName.contains(QLatin1Char('/')) && !valueName.contains(QLatin1Char('\\'));
}

} // namespace

QString appKeyPath() { return QStringLiteral("Software\\Vantu\\KlivaTARN"); }

QString ReadRegString(quint32 root, const QString& keyPath, const QString& valueName, const QString& def)
{
    if (!isAppKey(root, keyPath))
        return systemProbe().stringValue(root, keyPath, valueName).value_or(def);
    if (!usableName(valueName))
        return def;
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, settingsOrganization(), settingsApplication());
    // A damaged or unreadable file may still yield junk keys: trust nothing from it.
    if (store.status() != QSettings::NoError)
        return def;
    const QVariant v = store.value(valueName);
    if (v.typeId() != QMetaType::QString)
        return def; // missing, or a list, number or byte array: not a text value
    QString text = v.toString();
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0)
        text.truncate(nul);
    return text;
}

void WriteRegString(quint32 root, const QString& keyPath, const QString& valueName, const QString& text)
{
    if (!isAppKey(root, keyPath) || !usableName(valueName))
        return; // the system's keys are read-only here
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, settingsOrganization(), settingsApplication());
    store.setValue(valueName, text);
    store.sync();
}

qint32 ReadRegDword(quint32 root, const QString& keyPath, const QString& valueName, qint32 def)
{
    if (!isAppKey(root, keyPath))
        return systemProbe().dwordValue(root, keyPath, valueName).value_or(def);
    // The program stores texts only; a number stored by hand reads as decimal text.
    bool ok = false;
    const qint32 n = ReadRegString(root, keyPath, valueName).toInt(&ok);
    return ok ? n : def;
}

} // namespace kt
