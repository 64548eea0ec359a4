#pragma once
// Moving files to the user's trash (freedesktop.org Trash through GIO).
#include "Shell.h"

#include <QString>
#include <QStringList>

namespace kt {

// Moves one file to the trash, and counts it as trashed only when its trash record names
// where it came from; otherwise it is moved back. On failure *failure (when given) says why,
// and where the file is when it could not be moved back. Never falls back to deleting.
bool moveFileToTrash(const QString& path, TrashFailure* failure = nullptr);

// Moves each file in turn; a file that fails is kept and reported, the rest go on.
TrashResult moveFilesToTrash(const QStringList& paths);

} // namespace kt
