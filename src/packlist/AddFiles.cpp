#include "AddFiles.h"

#include "packlist/PackListOps.h"
#include "platform/FileDialogs.h"

#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace kt {

int AppendFiles(PackList& list, const QStringList& paths, const StreamInfoSource& info)
{
    int added = 0;
    for (const QString& path : paths) {
        const QFileInfo fi(path);
        if (path.isEmpty() || !fi.exists() || fi.isDir())
            continue;
        const StreamInfoTexts texts = info(path);
        list.append({path, texts.videoSize, texts.frameRate, false});
        ++added;
    }
    return added;
}

QString addFilesDialogTitle()
{
    return QStringLiteral("Add Files... (multiple selection possible)");
}

int ShowAddFilesDialog(PackList& list, const StreamInfoSource& info)
{
    FileDialogRequest request;
    request.title = addFilesDialogTitle();
    request.filter = mediaFileFilter();
    const QStringList chosen = fileDialogs().getOpenFileNames(request);
    return AppendFiles(list, chosen, info);
}

QStringList droppedFileNames(const QMimeData& data)
{
    QStringList names;
    if (!data.hasUrls())
        return names;
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile())
            names << url.toLocalFile();
    }
    return names;
}

int PackListDrop::drop(PackList& list, const QMimeData& data, const StreamInfoSource& info)
{
    m_pending = true;
    const QStringList names = droppedFileNames(data);
    if (names.isEmpty())
        return 0; // not a file list: the rows being dragged, or foreign data
    const int added = AppendFiles(list, names, info);
    m_pending = false;
    return added;
}

bool PackListDrop::pointerMoved(PackList& list, int yTwips, int textHeightTwips, int topIndex)
{
    m_pointerY = yTwips;
    if (!m_pending)
        return false;
    return completeAt(list, dropTargetRow(m_pointerY, textHeightTwips, topIndex));
}

bool PackListDrop::completeAt(PackList& list, int targetRow)
{
    if (!m_pending)
        return false;
    m_pending = false;
    return DropReorder(list, targetRow);
}

} // namespace kt
