#pragma once
// The pack host of klivatarn-pack: the sources and options come from the command line,
// the progress window is one line on the terminal, and Ctrl-C is its Cancel button.
#include "engine/PackHost.h"

namespace kt::cli {

struct PackOptions
{
    QString output;
    QStringList sources;
    bool force = false; // replace an existing output without asking
    bool mpegCheck = true;
    TransferRate rate = TransferRate::Fast;
    DeleteAfterAction deleteAfter = DeleteAfterAction::No;
    bool seamless = false;
};

class TerminalProgress final : public ProgressView
{
public:
    void beginJoin() override;
    void showPackingFile(const QString& fullPath) override;
    void showCheckingFile(const QString& fullPath) override;
    void setProgressBarPos(int percent) override;
    void setPercentText(const QString& text) override;
    void setTimeRemainingText(const QString& text) override;
    bool cancelRequested() const override;
    void destroyProgressBar() override {}
    void closeWindow() override;

private:
    void redraw();
    int m_percent = 0;
    QString m_timeRemaining;
    QString m_file;
    QString m_drawn;
    bool m_checking = false; // the read-back pass
};

class CliPackHost final : public PackHost
{
public:
    explicit CliPackHost(const PackOptions& options) : m_options(options) {}

    QStringList packListPaths() const override { return m_options.sources; }
    // The output given with -o; an existing file is replaced only with --force or after
    // the question (the Save dialog's own overwrite prompt).
    QString askOutputPath() override;
    PackOptionValues packOptions() const override
    {
        return {m_options.mpegCheck, blockSizeFor(m_options.rate), m_options.deleteAfter, m_options.seamless};
    }
    void hideLogo() override {}
    void unhideLogo() override {}
    void busyMode(const QString&) override {}
    void notBusyMode() override {}
    void errorResumeProgram() override {}
    void setStatusText(const QString&) override {}
    void showPackingFile(const QString&) override {}
    void showCheckingFile(const QString&) override {}
    void setWaitCursor(bool) override {}
    void destroyMainProgressBar() override {}
    void runJoinInProgressWindow(const std::function<void(ProgressView&)>& join) override;

private:
    PackOptions m_options;
};

} // namespace kt::cli
