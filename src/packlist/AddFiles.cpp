#include "AddFiles.h"

#include "packlist/PackListOps.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBox.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace kt {

AppendedFiles appendPaths(PackList& list, const QStringList& paths, const StreamInfoSource& info)
{
    AppendedFiles result;
    for (const QString& path : paths) {
        if (isUnreachableName(path)) {
            result.unreachable << path;
            continue;
        }
        const QFileInfo fi(path);
        if (path.isEmpty() || !fi.exists() || fi.isDir())
            continue;
        const StreamInfoTexts texts = info(path);
        list.append({path, texts.videoSize, texts.frameRate, false});
        ++result.added;
    }
    return result;
}

QString unreachableNamesText(const QStringList& names)
{
    const QString list = quotedNames(names, QStringLiteral("\n"));
    if (names.size() == 1)
        return QCoreApplication::translate(
                   "kt::PackList",
                   "1 file was not added: its name is not valid UTF-8, so this program cannot "
                   "open it:\n\n%1\n\nRename it and add it again.")
            .arg(list);
    return QCoreApplication::translate(
               "kt::PackList",
               "%1 files were not added: their names are not valid UTF-8, so this program cannot "
               "open them:\n\n%2\n\nRename them and add them again.")
        .arg(QString::number(names.size()), list);
}

void tellUnreachableNames(const QStringList& names)
{
    if (!names.isEmpty())
        MsgBox(unreachableNamesText(names), MB_ICONEXCLAMATION);
}

int AppendFiles(PackList& list, const QStringList& paths, const StreamInfoSource& info)
{
    const AppendedFiles result = appendPaths(list, paths, info);
    tellUnreachableNames(result.unreachable);
    return result.added;
}

QString addFilesDialogTitle()
{
    return QCoreApplication::translate("kt::PackList", "Add Files... (multiple selection possible)");
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

AppendedFiles PackListDrop::drop(PackList& list, const QMimeData& data, const StreamInfoSource& info)
{
    m_pending = true;
    const QStringList names = droppedFileNames(data);
    if (names.isEmpty())
        return {}; // not a file list: the rows being dragged, or foreign data
    m_pending = false;
    return appendPaths(list, names, info);
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
