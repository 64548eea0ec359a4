#pragma once
// The About box's System Info button.
//
// The button looks up where the system keeps its system-information program, the way
// the classic registry values MSINFO "PATH" and "Shared Tools Location" name it, and
// starts that program. A SysInfoProbe answers those value queries; on Linux the desktop
// probe answers the "PATH" value with an installed system-information program.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace kt {

enum class RegRoot { CurrentUser, LocalMachine };

enum RegValueType : int { RegSz = 1, RegDword = 4 };

struct RegValue
{
    int type = RegSz;
    QByteArray data; // as stored, a string with its final NUL
};

class SysInfoProbe
{
public:
    virtual ~SysInfoProbe() = default;
    virtual std::optional<RegValue> queryValue(RegRoot root, const QString& key, const QString& name) = 0;
    virtual bool fileExists(const QString& path) = 0;
    virtual bool startProgram(const QString& path) = 0; // a normal window
};

QString sysInfoUnavailableText();

// The value as text: a string without its final NUL, a DWORD as decimal. False (and
// `value` empty) when the key or the value is missing.
bool GetKeyValue(SysInfoProbe& probe, RegRoot root, const QString& key, const QString& name, QString& value);

// Starts the system-information program, or says it is unavailable (topmost, no icon).
void StartSysInfo(SysInfoProbe& probe);

// A system-information program and how a desktop starts it.
struct SysInfoTool
{
    QString desktop; // as XDG_CURRENT_DESKTOP names it; empty for a tool of no desktop
    QString program; // looked up on the search path
    QStringList arguments;
};

// The probe of this desktop: "PATH" of the MSINFO key is the first tool of the table found
// on the search path, the current desktop's own tools first; starting that path passes
// the tool's arguments.
class DesktopSysInfoProbe final : public SysInfoProbe
{
public:
    explicit DesktopSysInfoProbe(QStringList searchPaths = {},
                                 QString currentDesktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP"),
                                 QList<SysInfoTool> tools = defaultTools());
    std::optional<RegValue> queryValue(RegRoot root, const QString& key, const QString& name) override;
    bool fileExists(const QString& path) override;
    bool startProgram(const QString& path) override;

    // The tools GNOME, KDE Plasma and Xfce ship, and the desktop-neutral ones.
    static QList<SysInfoTool> defaultTools();

    // The table in the order it is searched: tools of `currentDesktop` (a colon-separated
    // list, case-insensitive), then those of no desktop, then those of other desktops,
    // each group in table order.
    static QList<SysInfoTool> searchOrder(const QList<SysInfoTool>& tools, const QString& currentDesktop);

    // The tool found and the arguments it is started with; nullopt when none is installed.
    std::optional<SysInfoTool> findTool() const;

private:
    QStringList m_searchPaths;
    QList<SysInfoTool> m_tools;              // in search order
    QHash<QString, QStringList> m_arguments; // of each path queryValue answered
};

// The probe of this desktop, the one the About box asks.
SysInfoProbe& sysInfoProbe();

} // namespace kt
