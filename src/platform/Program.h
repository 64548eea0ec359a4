#pragma once
// Names and texts that belong to the program as a whole.
#include <QString>

#include "Version.h"

namespace kt {

// Title of every message box and the program's name in texts.
inline QString programTitle() { return QStringLiteral("Vantu Kliva TARN"); }

// "2.5.0"
inline QString versionText()
{
    return QStringLiteral("%1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision);
}

// "Vantu Kliva TARN v2.5.0", the main window's title.
inline QString mainWindowTitle() { return programTitle() + QStringLiteral(" v") + versionText(); }

// Settings store identity (QSettings organization and application).
inline QString settingsOrganization() { return QStringLiteral("Vantu"); }
inline QString settingsApplication() { return QStringLiteral("KlivaTARN"); }

} // namespace kt
