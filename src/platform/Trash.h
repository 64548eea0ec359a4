#pragma once
// Moving files to the user's trash (freedesktop.org Trash through GIO).
#include "Shell.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace kt {

// Moves one file to the trash when its path still names the file packed (device, inode and
// size as in file.packed), and counts it as trashed only when what reached the trash is that
// file and its record names where it came from, the record and the trash's folders saved to
// disk; otherwise what was moved is put back. A failure says why, and where the file is when
// it could not be put back; no value means the file is in the trash. Never falls back to deleting.
std::optional<TrashFailure> moveFileToTrash(const TrashItem& file);

// Moves each file in turn; a file that fails is kept and reported, the rest go on. When
// memory runs out, that file and the rest are reported, never left half done.
TrashResult moveFilesToTrash(const QVector<TrashItem>& files);

} // namespace kt
