#pragma once
// The About box's System Info button.
//
// The button looks up where the system keeps its system-information program, the way
// the classic registry values MSINFO "PATH" and "Shared Tools Location" name it, and
// starts that program. A SysInfoProbe answers those value queries; on Linux the desktop
// probe answers the "PATH" value with an installed system-information program.
#include <QByteArray>
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

inline QString sysInfoUnavailableText()
{
    return QStringLiteral("System Information Is Unavailable At This Time");
}

// The text of a value: a string as stored (without its final NUL); a DWORD as decimal
// text. Other types give nullopt.
std::optional<QString> regValueText(const RegValue& value);

// False (and `value` empty) when the key or the value is missing.
bool GetKeyValue(SysInfoProbe& probe, RegRoot root, const QString& key, const QString& name, QString& value);

// Starts the system-information program, or says it is unavailable (topmost, no icon).
void StartSysInfo(SysInfoProbe& probe);

// The probe of this desktop: "PATH" of the MSINFO key is the first of `programs` found
// on the search path (the default list when empty).
class DesktopSysInfoProbe final : public SysInfoProbe
{
public:
    explicit DesktopSysInfoProbe(QStringList searchPaths = {}, QStringList programs = {});
    std::optional<RegValue> queryValue(RegRoot root, const QString& key, const QString& name) override;
    bool fileExists(const QString& path) override;
    bool startProgram(const QString& path) override;

    // Debian's graphical system-information programs, most specific first.
    static QStringList defaultPrograms();

private:
    QStringList m_searchPaths;
    QStringList m_programs;
};

SysInfoProbe& sysInfoProbe();
void installSysInfoProbe(SysInfoProbe* probe); // not owned; nullptr restores the desktop probe

} // namespace kt
