#include "Registry.h"

#include "platform/Program.h"

#include <QFile>
#include <QSettings>
#include <memory>

namespace kt {
namespace {

bool isAppKey(quint32 root, const QString& keyPath)
{
    return root == HKEY_CURRENT_USER && keyPath == appKeyPath();
}

// Value names become top-level keys; QSettings would treat '/' and '\' as groups.
bool usableName(const QString& valueName)
{
    return !valueName.isEmpty() && !valueName.contains(QLatin1Char('/')) &&
           !valueName.contains(QLatin1Char('\\'));
}

// The store as read at start. Reading the file for every value made a large damaged file
// cost seconds and hundreds of megabytes at every start; one copy of this program runs at a
// time, so nobody else changes the file while it runs.
struct Store
{
    std::unique_ptr<QSettings> settings;
    // A damaged or unreadable file may still yield junk keys: nothing in it is trusted,
    // and the first value written replaces it.
    bool damaged = false;
};

Store& store()
{
    static Store s;
    if (!s.settings) {
        s.settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                 settingsOrganization(), settingsApplication());
        s.damaged = s.settings->status() != QSettings::NoError;
    }
    return s;
}

} // namespace

QString appKeyPath()
{
    return QStringLiteral("Software\\Vantu\\KlivaTARN");
}

void reloadSettingsStore()
{
    store().settings.reset();
}

QString ReadRegString(quint32 root, const QString& keyPath, const QString& valueName, const QString& def)
{
    if (!isAppKey(root, keyPath))
        return systemProbe().stringValue(root, keyPath, valueName).value_or(def);
    if (!usableName(valueName))
        return def;
    Store& s = store();
    if (s.damaged)
        return def;
    const QVariant v = s.settings->value(valueName);
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
    Store& s = store();
    if (s.damaged && QFile::remove(s.settings->fileName())) {
        // The junk goes, unparsed (taking it apart key by key costs as much as reading it);
        // what this run writes is a store again.
        s.settings.reset();
        store();
    }
    s.settings->setValue(valueName, text);
    s.settings->sync();
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
