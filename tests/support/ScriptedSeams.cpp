#include "ScriptedSeams.h"

namespace kt::test {

int ScriptedMessageBox::present(const QString& text, int style, const QString& title)
{
    m_asked.push_back({text, style, title});
    return m_answers.isEmpty() ? msgSafeAnswer(style) : m_answers.dequeue();
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
        if (failFor.contains(path))
            result.failed.push_back({path, QStringLiteral("refused by the test"), {}});
        else
            result.trashed << path;
    }
    return result;
}

} // namespace kt::test
