#pragma once
// The after-pack action on the sources: keep them, or move them to the trash with or
// without one question for all of them. Never a permanent delete: a file that cannot go
// to the trash stays where it is and the user is told.
#include "engine/PackHost.h"
#include "platform/Shell.h"

#include <QVector>
#include <functional>

namespace kt {

enum class DeleteOutcome {
    Kept,       // nothing was to go
    Declined,   // the user said No (or left the question unanswered)
    Trashed,    // every file is in the trash
    NotTrashed, // at least one file stayed where it is (the user was told)
    NotReady,   // the last checks stopped it: nothing was trashed, nothing said
};

// The last checks, asked after the question and before the first file moves (the output read
// back, the sources unchanged). False: nothing moves.
using ReadyCheck = std::function<bool()>;

// A path listed more than once goes to the trash once.
DeleteOutcome DeleteFiles(const QVector<TrashItem>& files, DeleteAfterAction action,
                          const ReadyCheck& ready = {});

} // namespace kt
