#pragma once
// Moving files to the user's trash (freedesktop.org Trash through GIO).
#include <QString>
#include <QStringList>

#include "Shell.h"

namespace kt {

// Moves one file to the trash. On failure the file stays where it is and
// *error (when given) says why. Never falls back to deleting.
bool moveFileToTrash(const QString& path, QString* error = nullptr);

// Moves each file in turn; a file that fails is kept and reported, the rest go on.
TrashResult moveFilesToTrash(const QStringList& paths);

} // namespace kt
