#pragma once
// Scripted stand-ins for the seams: they answer from queues and record what was asked.
// Install them in a test, run the logic, then check the record.
#include "platform/FileDialogs.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"

#include <QQueue>
#include <QString>
#include <QStringList>
#include <QVector>

namespace kt::test {

struct AskedMessage
{
    QString text;
    int style = 0;
    QString title;
};

class ScriptedMessageBox final : public MessageBoxPresenter
{
public:
    ScriptedMessageBox() { installMessageBoxPresenter(this); }
    ~ScriptedMessageBox() override { installMessageBoxPresenter(nullptr); }

    // Queue the answers, in order. When the queue is empty a question gets its safe
    // answer (No, Cancel, OK).
    void answer(int id) { m_answers.enqueue(id); }

    int present(const QString& text, int style, const QString& title) override;

    const QVector<AskedMessage>& asked() const { return m_asked; }
    QStringList texts() const;
    void clear()
    {
        m_asked.clear();
        m_answers.clear();
    }

private:
    QQueue<int> m_answers;
    QVector<AskedMessage> m_asked;
};

class ScriptedFileDialogs final : public FileDialogs
{
public:
    ScriptedFileDialogs() { installFileDialogs(this); }
    ~ScriptedFileDialogs() override { installFileDialogs(nullptr); }

    void answerOpen(const QStringList& files) { m_open.enqueue(files); }
    void answerSave(const QString& path) { m_save.enqueue(path); }

    QStringList getOpenFileNames(const FileDialogRequest& request) override
    {
        m_openRequests.push_back(request);
        return m_open.isEmpty() ? QStringList() : m_open.dequeue();
    }
    QString getSaveFileName(const FileDialogRequest& request) override
    {
        m_saveRequests.push_back(request);
        return m_save.isEmpty() ? QString() : m_save.dequeue();
    }

    const QVector<FileDialogRequest>& openRequests() const { return m_openRequests; }
    const QVector<FileDialogRequest>& saveRequests() const { return m_saveRequests; }

private:
    QQueue<QStringList> m_open;
    QQueue<QString> m_save;
    QVector<FileDialogRequest> m_openRequests;
    QVector<FileDialogRequest> m_saveRequests;
};

// Records opens and what it is asked to trash, which it reports trashed except the paths
// listed in failFor.
class ScriptedShell final : public Shell
{
public:
    ScriptedShell() { installShell(this); }
    ~ScriptedShell() override { installShell(nullptr); }

    ShellOpenResult open(const QString& pathOrUrl) override
    {
        m_opened << pathOrUrl;
        return openResult;
    }
    TrashResult moveToTrash(const QVector<TrashItem>& files) override;

    QStringList failFor;
    ShellOpenResult openResult = ShellOpenResult::Opened;

    const QStringList& opened() const { return m_opened; }
    const QVector<QStringList>& trashRequests() const { return m_trashRequests; }

private:
    QStringList m_opened;
    QVector<QStringList> m_trashRequests;
};

} // namespace kt::test
