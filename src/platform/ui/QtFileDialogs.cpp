#include "QtFileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>

namespace kt {

QStringList QtFileDialogs::getOpenFileNames(const FileDialogRequest& request)
{
    const QString filter = toQtFilter(request.filter);
    const QString first = filter.section(QStringLiteral(";;"), 0, 0);
    QString selected = first;
    // Files only: folders cannot be chosen in this dialog.
    return QFileDialog::getOpenFileNames(m_owner, request.title, request.initialDir, filter, &selected);
}

QString QtFileDialogs::getSaveFileName(const FileDialogRequest& request)
{
    const QString filter = toQtFilter(request.filter);
    QString selected = filter.section(QStringLiteral(";;"), 0, 0);
    // QFileDialog asks before replacing an existing file; no extension is added.
    return QFileDialog::getSaveFileName(m_owner, request.title, request.initialDir, filter, &selected);
}

} // namespace kt
