#pragma once
// Fakes of the pack host, the progress window and the message box that log every call in order.
#include "../support/TestFiles.h"
#include "base/File64.h"
#include "engine/JoinFiles.h"
#include "engine/PackHost.h"
#include "platform/MessageBox.h"

#include <QtCore>

namespace kt::test {

using EventLog = QStringList;

// Answers from a queue, else the safe answer; `onAsk` acts first, as a user freeing disk space.
struct LoggingMessageBox final : MessageBoxPresenter
{
    explicit LoggingMessageBox(EventLog& log) : m_log(log) { installMessageBoxPresenter(this); }
    ~LoggingMessageBox() override { installMessageBoxPresenter(nullptr); }

    int present(const QString& text, int style, const QString&) override
    {
        m_log << "msg:" + text, texts << text, styles << style;
        onAsk();
        return msgButtons(style) == MB_OK || answers.isEmpty() ? msgSafeAnswer(style) : answers.dequeue();
    }

    EventLog& m_log;
    QQueue<int> answers;
    QStringList texts;
    QList<int> styles;
    std::function<void()> onAsk = [] {};
};

// The read-back pass's bars and texts are kept apart from the join's.
struct FakeProgressView final : ProgressView
{
    explicit FakeProgressView(EventLog& log) : m_log(log) {}

    void beginJoin() override { m_log << "view:begin"; }
    void showPackingFile(const QString& p) override { m_log << "view:file:" + p; }
    void showCheckingFile(const QString& p) override
    {
        m_log << "view:check:" + p, checking = true, onCheck();
    }
    void setProgressBarPos(int percent) override
    {
        QList<int>& to = (checking ? checkBars : bars) << percent;
        m_cancel = m_cancel || to.size() == (checking ? cancelAtCheckBar : cancelAtBar);
        onBar(checking ? 0 : int(bars.size()));
    }
    void setPercentText(const QString& t) override { (checking ? checkTexts : percentTexts) << t; }
    void setTimeRemainingText(const QString& t) override { (checking ? checkTexts : timeTexts) << t; }
    bool cancelRequested() const override { return m_cancel; }
    void destroyProgressBar() override { m_log << "view:destroyBar"; }
    void closeWindow() override { m_log << "view:close"; }

    EventLog& m_log;
    int cancelAtBar = 0, cancelAtCheckBar = 0;   // Cancel is "clicked" during this bar move (from 1)
    std::function<void(int)> onBar = [](int) {}; // in each of the join's bar moves, with its count
    std::function<void()> onCheck = [] {};       // as the read-back pass starts
    QList<int> bars, checkBars;
    QStringList percentTexts, timeTexts, checkTexts;
    bool checking = false, m_cancel = false;
};

struct FakePackHost final : PackHost
{
    explicit FakePackHost(EventLog& log) : m_log(log), view(log) {}

    QStringList packListPaths() const override { return rows; }
    QString askOutputPath() override { return m_log << "host:askOutput", outputAnswer; }
    PackOptionValues packOptions() const override { return options; }
    void hideLogo() override { m_log << "host:hideLogo"; }
    void unhideLogo() override { m_log << "host:unhideLogo"; }
    void busyMode(const QString& op) override { m_log << "host:busy:" + op; }
    void notBusyMode() override { m_log << "host:notBusy"; }
    void errorResumeProgram() override { m_log << "host:errorResume"; }
    void setStatusText(const QString& t) override { m_log << "host:status:" + t; }
    void showPackingFile(const QString& p) override { m_log << "host:file:" + p; }
    void showCheckingFile(const QString& p) override { m_log << "host:check:" + p; }
    void setWaitCursor(bool wait) override { m_log << (wait ? "host:wait" : "host:arrow"); }
    void destroyMainProgressBar() override { m_log << "host:destroyMainBar"; }
    void runJoinInProgressWindow(const std::function<void(ProgressView&)>& join) override
    {
        m_log << "host:progressWindow";
        join(view);
    }

    EventLog& m_log;
    QStringList rows;
    QString outputAnswer;
    PackOptionValues options{false, {100'000, 5}, DeleteAfterAction::No};
    FakeProgressView view;
};

struct PackRig
{
    QTemporaryDir dir;
    EventLog log;
    LoggingMessageBox box{log};
    FakePackHost host{log};
    File64 file;
    SourceSet src;

    QString path(const QString& name) const { return dir.filePath(name); }
    // Joins the sources into `output` under a clock that moves `step` microseconds at each reading.
    JoinResult join(const QString& output, BlockSize block, DeleteAfterAction del, qint64 step)
    {
        JoinJob j{output, {}, quint64(src.joined().size()), block, del, {}};
        for (int i = 0; i < src.paths.size(); ++i)
            j.sources.push_back({src.paths[i], quint64(src.contents[i].size())});
        return JoinFiles(j, host, host.view, file, [step, now = qint64(0)]() mutable { return now += step; });
    }
};

} // namespace kt::test
