#pragma once
// The after-pack action on the sources: keep them, or move them to the trash with or
// without one question for all of them. Never a permanent delete: a file that cannot go
// to the trash stays where it is and the user is told.
#include "engine/PackHost.h"

#include <QStringList>
#include <functional>

namespace kt {

enum class DeleteOutcome {
    Kept,          // nothing was to go, or the user said No
    Trashed,       // every file is in the trash
    NotTrashed,    // at least one file stayed where it is (the user was told)
    SourceChanged, // changedSource named a file: nothing was trashed, nothing said
};

// Returns a path whose file is no longer the one packed, or an empty string; asked after the
// question, just before the first file moves.
using ChangedSourceCheck = std::function<QString()>;

// A path listed more than once goes to the trash once.
DeleteOutcome DeleteFiles(const QStringList& paths, DeleteAfterAction action,
                          const ChangedSourceCheck& changedSource = {});

} // namespace kt
