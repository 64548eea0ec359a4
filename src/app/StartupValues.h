#pragma once
// Program-wide values set once by start-up and read by the rest of the program.
#include "app/LayoutMetrics.h"

#include <QString>

namespace kt {

struct StartupValues
{
    QString programDir; // the folder of the files it reads (programDataDir), no trailing separator
    bool normalDpi = true;
    bool isWindowsXP = false;
    LayoutMetrics metrics;
};

// Measures the display, the system and its visual style through the Registry calls
// (and so through the installed system probe).
StartupValues detectStartupValues(const QString& executableDir);

// The values of this run; defaults until setStartupValues is called.
const StartupValues& startupValues();
void setStartupValues(const StartupValues& values);

} // namespace kt
