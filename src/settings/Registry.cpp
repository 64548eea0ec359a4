#include "Registry.h"

#include "platform/Program.h"
#include "settings/SettingsTable.h"

#include <QFileInfo>
#include <QSettings>
#include <memory>

namespace kt {
namespace {

bool isAppKey(quint32 root, const QString& keyPath)
{
    return root == HKEY_CURRENT_USER && keyPath == appKeyPath();
}

// The file keeps the INI form QSettings writes ("[General]", then "Name=text" lines) but is
// read and written here. QSettings' own reader holds the whole file and every key it finds,
// so a 50 MB damaged file cost seconds and hundreds of MiB at each start, and one syntax
// error made it drop the lot; this one streams the file and keeps each line that holds a
// value of the settings table with one of its texts.
// Far beyond any line of a store; a longer one is read in pieces, each taken as a line.
constexpr qint64 kLongestLine = 4096;

void takeLine(QByteArrayView line, bool& inGeneral, QSettings::SettingsMap& map)
{
    line = line.trimmed();
    if (line.isEmpty() || line.front() == ';')
        return;
    if (line.front() == '[') {
        // A header without its bracket is a damaged line, not a new section.
        const qsizetype end = line.indexOf(']');
        if (end > 0)
            inGeneral = line.sliced(1, end - 1).trimmed().compare("General", Qt::CaseInsensitive) == 0;
        return;
    }
    const qsizetype eq = line.indexOf('=');
    if (!inGeneral || eq < 0)
        return;
    QByteArrayView value = line.sliced(eq + 1);
    if (const qsizetype comment = value.indexOf(';'); comment >= 0)
        value = value.first(comment);
    value = value.trimmed();
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.sliced(1, value.size() - 2);
    const QString name = QString::fromLatin1(line.first(eq).trimmed());
    const QString text = QString::fromLatin1(value);
    if (isKnownStoredValue(name, text))
        map.insert(name, text); // the last readable line of a name wins
}

bool readStore(QIODevice& device, QSettings::SettingsMap& map)
{
    bool inGeneral = true; // names before any header are top-level, as in QSettings
    for (bool first = true; !device.atEnd(); first = false) {
        QByteArray line = device.readLine(kLongestLine);
        if (first && line.startsWith("\xef\xbb\xbf"))
            line.remove(0, 3);
        // '\r' ends a line too.
        QByteArrayView rest(line);
        for (qsizetype cr; (cr = rest.indexOf('\r')) >= 0; rest = rest.sliced(cr + 1))
            takeLine(rest.first(cr), inGeneral, map);
        takeLine(rest, inGeneral, map);
    }
    return true; // what could be read is the store, whatever else the file held
}

// Every value is a text of the table (read or written so): plain ASCII words, no escapes needed.
QByteArray storeBytes(const QSettings::SettingsMap& map)
{
    QByteArray out("[General]\n");
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        out += it.key().toLatin1() + '=' + it.value().toString().toLatin1() + '\n';
    return out;
}

bool writeStore(QIODevice& device, const QSettings::SettingsMap& map)
{
    const QByteArray bytes = storeBytes(map);
    return device.write(bytes) == bytes.size();
}

QSettings::Format storeFormat()
{
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("conf"), readStore, writeStore);
    return format;
}

// Where QSettings keeps the program's native store: the user's configuration folder, or the
// folder QSettings::setPath gave. Asked of the organization's own store, which nothing
// writes, so that QSettings' reader never parses the program's file.
QString storeFileName()
{
    const QSettings organization(QSettings::NativeFormat, QSettings::UserScope, settingsOrganization());
    return QFileInfo(organization.fileName()).path() + QLatin1Char('/') + settingsOrganization() +
           QLatin1Char('/') + settingsApplication() + QStringLiteral(".conf");
}

// The store as read at start. One copy of this program runs at a time, so nobody else
// changes the file while it runs.
struct Store
{
    std::unique_ptr<QSettings> settings;
    bool fileHoldsMore = false; // junk or other names: the next write rewrites it
    int batches = 0;
    bool pending = false;
};

Store& state()
{
    static Store s;
    return s;
}

Store& store()
{
    Store& s = state();
    if (!s.settings) {
        s.settings = std::make_unique<QSettings>(storeFileName(), storeFormat());
        QSettings::SettingsMap kept;
        for (const QString& name : s.settings->allKeys())
            kept.insert(name, s.settings->value(name));
        const QFileInfo file(s.settings->fileName());
        s.fileHoldsMore = file.exists() && file.size() != storeBytes(kept).size();
    }
    return s;
}

void writeFile(Store& s)
{
    s.settings->sync();
    s.fileHoldsMore = false;
    s.pending = false;
}

} // namespace

QString appKeyPath()
{
    return QStringLiteral("Software\\Vantu\\KlivaTARN");
}

void reloadSettingsStore()
{
    state().settings.reset();
}

QString ReadRegString(quint32 root, const QString& keyPath, const QString& valueName, const QString& def)
{
    if (!isAppKey(root, keyPath))
        return systemProbe().stringValue(root, keyPath, valueName).value_or(def);
    return store().settings->value(valueName, def).toString();
}

void WriteRegString(quint32 root, const QString& keyPath, const QString& valueName, const QString& text)
{
    // The system's keys are read-only here, and the store holds only the table's texts.
    if (!isAppKey(root, keyPath) || !isKnownStoredValue(valueName, text))
        return;
    Store& s = store();
    if (!s.fileHoldsMore && s.settings->value(valueName) == QVariant(text))
        return;
    s.settings->setValue(valueName, text);
    if (s.batches > 0)
        s.pending = true;
    else
        writeFile(s);
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

RegistryWriteBatch::RegistryWriteBatch()
{
    ++store().batches;
}

RegistryWriteBatch::~RegistryWriteBatch()
{
    Store& s = store();
    if (--s.batches == 0 && s.pending)
        writeFile(s);
}

} // namespace kt
