#pragma once
// The after-pack action on the sources: keep them, or move them to the trash with or
// without one question for all of them. Never a permanent delete: a file that cannot go
// to the trash stays where it is and the user is told.
#include <QStringList>

#include "engine/PackHost.h"

namespace kt {

// Returns false when a file that should have gone to the trash is still in place.
bool DeleteFiles(const QStringList& paths, DeleteAfterAction action);

} // namespace kt
