#include "ScriptedSeams.h"

#include <QFile>
#include <QFileInfo>

namespace kt::test {

int ScriptedMessageBox::present(const QString& text, int style, const QString& title)
{
    m_asked.push_back({text, style, title});
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    if (msgButtons(style) != MB_OK)
        ++m_unscripted;
    return msgSafeAnswer(style);
}

QStringList ScriptedMessageBox::texts() const
{
    QStringList result;
    for (const AskedMessage& m : m_asked)
        result << m.text;
    return result;
}

TrashResult ScriptedShell::moveToTrash(const QVector<TrashItem>& files)
{
    QStringList paths;
    for (const TrashItem& file : files)
        paths << file.path;
    m_trashRequests.push_back(paths);
    TrashResult result;
    for (const QString& path : paths) {
        // Kept apart by the request's number, as a trash keeps files of one name apart.
        const QString target =
            m_trashFolder +
            QStringLiteral("/%1-%2").arg(m_trashRequests.size()).arg(QFileInfo(path).fileName());
        if (failFor.contains(path))
            result.failed.push_back({path, QStringLiteral("refused by the test"), {}});
        else if (!m_trashFolder.isEmpty() && !QFile::rename(path, target))
            result.failed.push_back({path, QStringLiteral("rename failed"), {}});
        else
            result.trashed << path;
    }
    return result;
}

} // namespace kt::test
