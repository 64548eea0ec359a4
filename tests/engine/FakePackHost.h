#pragma once
// Fakes of the pack host, the progress window and the message box that write every call
// into one log, so a test can check the whole sequence and its order.
#include "../support/TestFiles.h"
#include "base/File64.h"
#include "engine/PackHost.h"
#include "platform/MessageBox.h"

#include <QQueue>
#include <QTemporaryDir>
#include <functional>

namespace kt::test {

using EventLog = QStringList;

// Answers from a queue (the safe answer when it runs dry); `onAsk` may act first, as a user
// who frees disk space before pressing Retry.
struct LoggingMessageBox final : MessageBoxPresenter
{
    explicit LoggingMessageBox(EventLog& log) : m_log(log) { installMessageBoxPresenter(this); }
    ~LoggingMessageBox() override { installMessageBoxPresenter(nullptr); }

    int present(const QString& text, int style, const QString&) override
    {
        m_log << "msg:" + text;
        texts << text;
        styles << style;
        if (onAsk)
            onAsk(text);
        return msgButtons(style) == MB_OK || answers.isEmpty() ? msgSafeAnswer(style) : answers.dequeue();
    }

    EventLog& m_log;
    QQueue<int> answers;
    QStringList texts;
    QList<int> styles;
    std::function<void(const QString&)> onAsk;
};

struct FakeProgressView final : ProgressView
{
    explicit FakeProgressView(EventLog& log) : m_log(log) {}

    void beginJoin() override { m_log << "view:begin"; }
    void showPackingFile(const QString& p) override { m_log << "view:file:" + p; }
    void showCheckingFile(const QString& p) override
    {
        m_log << "view:check:" + p;
        checking = true;
        if (onCheck)
            onCheck();
    }
    // The read-back pass's bars and texts are kept apart from the join's.
    void setProgressBarPos(int percent) override
    {
        if (checking) {
            checkBars << percent;
            m_cancel = m_cancel || checkBars.size() == cancelAtCheckBar;
            return;
        }
        bars << percent;
        if (onBar)
            onBar(int(bars.size()));
        m_cancel = m_cancel || bars.size() == cancelAtBar;
    }
    void setPercentText(const QString& t) override { (checking ? checkTexts : percentTexts) << t; }
    void setTimeRemainingText(const QString& t) override
    {
        if (!checking)
            timeTexts << t;
    }
    bool cancelRequested() const override { return m_cancel; }
    void destroyProgressBar() override { m_log << "view:destroyBar"; }
    void closeWindow() override { m_log << "view:close"; }

    EventLog& m_log;
    int cancelAtBar = 0;            // Cancel is "clicked" during this bar move (1-based)
    int cancelAtCheckBar = 0;       // the same in the read-back pass
    std::function<void(int)> onBar; // runs inside each bar move, with its 1-based count
    std::function<void()> onCheck;  // runs as the read-back pass starts
    QList<int> bars;
    QStringList percentTexts, timeTexts;
    bool checking = false;
    QList<int> checkBars;
    QStringList checkTexts;
    bool m_cancel = false;
};

struct FakePackHost final : PackHost
{
    explicit FakePackHost(EventLog& log) : m_log(log), view(log) {}

    QStringList packListPaths() const override { return rows; }
    QString askOutputPath() override
    {
        m_log << "host:askOutput";
        return outputAnswer;
    }
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

// A folder for the files and every fake, wired to one log.
struct PackRig
{
    QTemporaryDir dir;
    EventLog log;
    LoggingMessageBox box{log};
    FakePackHost host{log};
    File64 file;

    QString path(const QString& name) const { return dir.filePath(name); }
};

} // namespace kt::test
