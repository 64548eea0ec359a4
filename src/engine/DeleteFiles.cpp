#include "DeleteFiles.h"

#include "engine/PackTexts.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"

namespace kt {

bool DeleteFiles(const QStringList& paths, DeleteAfterAction action)
{
    if (action == DeleteAfterAction::No || paths.isEmpty())
        return true;
    if (action == DeleteAfterAction::Prompt
        && MsgBox(texts::trashQuestion(paths), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return true; // declined: every file stays, the pack itself succeeded
    const TrashResult result = shell().moveToTrash(paths);
    if (!result.ok())
        MsgBox(texts::notTrashed(result.failed), MB_ICONEXCLAMATION);
    return result.ok();
}

} // namespace kt
