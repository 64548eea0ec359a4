#pragma once
// Names and texts that belong to the program as a whole.
#include "Version.h"

#include <QDir>
#include <QFileInfo>
#include <QString>

namespace kt {

// Title of every message box and the program's name in texts.
inline QString programTitle()
{
    return QStringLiteral("Vantu Kliva TARN");
}

// "2.5.0"
inline QString versionText()
{
    return QStringLiteral("%1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision);
}

// "Vantu Kliva TARN v2.5.0", the main window's title.
inline QString mainWindowTitle()
{
    return programTitle() + QStringLiteral(" v") + versionText();
}

// Settings store identity (QSettings organization and application).
inline QString settingsOrganization()
{
    return QStringLiteral("Vantu");
}
inline QString settingsApplication()
{
    return QStringLiteral("KlivaTARN");
}

// Where an installed program keeps its files, relative to the executable's folder.
inline QString installedDataRelative()
{
    return QStringLiteral("../share/klivatarn");
}

// The folder of the files the program reads (tips, icons, help), from the executable's
// folder (no trailing separator, "" for the root): the executable's own folder when the
// files are beside it (the build folder, a copied folder), else ../share/klivatarn when
// that exists (an installed program, whatever its prefix). With neither it stays the
// executable's folder, so a missing file is reported where it was first looked for.
inline QString programDataDir(const QString& executableDir)
{
    for (const char* name : {"tod.ctd", "KlvTarn.ir", "KlvTarn.html"}) {
        if (QFileInfo(executableDir + QLatin1Char('/') + QLatin1String(name)).isFile())
            return executableDir;
    }
    const QString installed = QDir::cleanPath(executableDir + QLatin1Char('/') + installedDataRelative());
    return QFileInfo(installed).isDir() ? installed : executableDir;
}

} // namespace kt
