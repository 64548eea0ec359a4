#include "DeleteFiles.h"

#include "engine/PackTexts.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"

#include <QDir>
#include <QSet>

namespace kt {

DeleteOutcome DeleteFiles(const QStringList& paths, DeleteAfterAction action,
                          const ChangedSourceCheck& changedSource)
{
    QStringList unique;
    QSet<QString> seen;
    for (const QString& path : paths) {
        const qsizetype before = seen.size();
        seen.insert(QDir::cleanPath(path));
        if (seen.size() > before)
            unique << path;
    }
    if (action == DeleteAfterAction::No || unique.isEmpty())
        return DeleteOutcome::Kept;
    if (action == DeleteAfterAction::Prompt &&
        MsgBox(texts::trashQuestion(unique), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return DeleteOutcome::Kept; // declined: every file stays, the pack itself succeeded
    if (changedSource && !changedSource().isEmpty())
        return DeleteOutcome::SourceChanged;
    const TrashResult result = shell().moveToTrash(unique);
    if (result.ok())
        return DeleteOutcome::Trashed;
    MsgBox(texts::notTrashed(result.failed), MB_ICONEXCLAMATION);
    return DeleteOutcome::NotTrashed;
}

} // namespace kt
