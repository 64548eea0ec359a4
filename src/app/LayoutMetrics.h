#pragma once
// The start-up values that depend on the system: whether the display runs at normal
// DPI, the XP flag and the six layout corrections (twips) chosen from the system's
// version record and visual-style names.
#include <QString>

#include <optional>

#include "platform/SystemProbe.h"

namespace kt {

struct LayoutMetrics
{
    qint16 widthAdjust = 0;
    qint16 heightAdjust = 0;
    qint16 buttonLeftAdjust = 0;
    qint16 buttonTopAdjust = 0;
    qint16 sortGapAdjust = 0;
    qint16 themeEdge = 0;
    bool operator==(const LayoutMetrics&) const = default;
};

struct SystemLayout
{
    bool isWindowsXP = false;
    LayoutMetrics metrics;
};

// The visual-style values as read (empty when absent).
struct ThemeValues
{
    QString themeActive;
    QString sizeName;
    QString current;
};

// The metrics table. Only NT 5.1 looks at the theme values.
SystemLayout layoutFor(const OsVersionInfo& version, const ThemeValues& theme);

// The NT 5.1 test.
bool isWindowsXP(const OsVersionInfo& version);

// The number a leading-number parse gives: "120" -> 120, "96dpi" -> 96, "x" -> 0.
double leadingNumber(const QString& text);

// NormalDpi from the display value "DPILogicalX" (a text, may be empty) and, when that
// is empty, the number "LogPixels": true at 96 or below.
bool normalDpiFrom(const QString& dpiLogicalX, qint32 logPixels);

// The executable's folder without a trailing separator ("/" gives "").
QString programDirFrom(const QString& executableDir);

} // namespace kt
