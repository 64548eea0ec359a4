#include "DeleteFiles.h"

#include "engine/PackTexts.h"
#include "platform/MessageBox.h"

#include <QDir>
#include <QSet>

namespace kt {

DeleteOutcome DeleteFiles(const QVector<TrashItem>& files, DeleteAfterAction action, const ReadyCheck& ready)
{
    QVector<TrashItem> unique;
    QStringList paths;
    QSet<QString> seen;
    for (const TrashItem& file : files) {
        const qsizetype before = seen.size();
        seen.insert(QDir::cleanPath(file.path));
        if (seen.size() > before) {
            unique << file;
            paths << file.path;
        }
    }
    if (action == DeleteAfterAction::No || unique.isEmpty())
        return DeleteOutcome::Kept;
    if (action == DeleteAfterAction::Prompt &&
        MsgBox(texts::trashQuestion(paths), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return DeleteOutcome::Declined; // every file stays, the pack itself succeeded
    if (ready && !ready())
        return DeleteOutcome::NotReady;
    const TrashResult result = shell().moveToTrash(unique);
    if (result.ok())
        return DeleteOutcome::Trashed;
    MsgBox(texts::notTrashed(result.failed), MB_ICONEXCLAMATION);
    return DeleteOutcome::NotTrashed;
}

} // namespace kt
