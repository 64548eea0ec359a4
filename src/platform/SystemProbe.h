#pragma once
// Answers the start-up questions about the display and the system.
//
// The window's start-up asks for a handful of system values by the names a Windows
// system would keep them under (display DPI, version record, visual-style names). The
// probe answers those questions for the system the program really runs on; whatever
// the running system does not have reads as absent. Tests install a probe with
// made-up facts to walk every row of the metrics table.
#include <QString>
#include <optional>

namespace kt {

// The version record (GetVersionEx's fields that matter here).
struct OsVersionInfo
{
    int platformId = 0; // 1: the 9x family, 2: NT family; anything else is neither
    int major = 0;
    int minor = 0;
    QString name; // the running system's own description, for messages only
};

inline constexpr int kPlatformWin9x = 1;
inline constexpr int kPlatformNT = 2;
// Linux is neither a 9x nor an NT system, so its record carries this id and start-up
// takes the metrics table's "not NT" row (+100 twips wide, -50 high). That row is the
// plain one: no visual-style corrections, which Qt's own styling does not need, and a
// first column 100 twips wider for the longer paths of this system.
inline constexpr int kPlatformOther = 0x100;

struct SystemFacts
{
    int logicalDpi = 96; // the screen's logical dots per inch
    OsVersionInfo version;
    // Visual-style values; absent on systems without them.
    std::optional<QString> themeActive;
    std::optional<QString> themeSizeName;
    std::optional<QString> appearanceCurrent;
};

// Root keys by their Win32 handle values.
inline constexpr quint32 kHKeyCurrentUser = 0x80000001u;
inline constexpr quint32 kHKeyCurrentConfig = 0x80000005u;

class SystemProbe
{
public:
    explicit SystemProbe(SystemFacts facts) : m_facts(std::move(facts)) {}

    OsVersionInfo version() const { return m_facts.version; }

    // A system string value by root, key path and value name (backslash-separated,
    // compared exactly); nullopt when the system has no such value.
    std::optional<QString> stringValue(quint32 root, const QString& keyPath, const QString& valueName) const;
    // A system 32-bit number; nullopt when absent.
    std::optional<qint32> dwordValue(quint32 root, const QString& keyPath, const QString& valueName) const;

    // The facts of the running system: its kernel's version record (platform id
    // kPlatformOther), no visual-style values, and the logical DPI the caller measured
    // on the screen (the logic layer has no screen of its own).
    static SystemFacts runningSystemFacts(int screenLogicalDpi);

private:
    SystemFacts m_facts;
};

// The probe start-up consults (not owned). Without one installed, a probe of the
// running system at 96 DPI.
void installSystemProbe(const SystemProbe* probe);
const SystemProbe& systemProbe();

} // namespace kt
