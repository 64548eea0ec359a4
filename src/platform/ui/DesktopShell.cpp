#include "DesktopShell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include "platform/Trash.h"

namespace kt {

ShellOpenResult DesktopShell::open(const QString& pathOrUrl)
{
    const QUrl asUrl(pathOrUrl);
    const bool isAddress = !asUrl.scheme().isEmpty() && asUrl.scheme().size() > 1; // not "C:"
    QUrl target;
    if (isAddress && asUrl.scheme() != QLatin1String("file")) {
        target = asUrl;
    } else {
        const QString local = isAddress ? asUrl.toLocalFile() : pathOrUrl;
        if (!QFileInfo::exists(local))
            return ShellOpenResult::NotFound;
        target = QUrl::fromLocalFile(QFileInfo(local).absoluteFilePath());
    }
    return QDesktopServices::openUrl(target) ? ShellOpenResult::Opened : ShellOpenResult::Failed;
}

TrashResult DesktopShell::moveToTrash(const QStringList& paths) { return moveFilesToTrash(paths); }

} // namespace kt
