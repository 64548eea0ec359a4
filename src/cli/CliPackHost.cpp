#include "CliPackHost.h"

#include "base/TextUtils.h"
#include "cli/Terminal.h"
#include "engine/PackTexts.h"
#include "platform/MessageBox.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace kt::cli {
namespace {
struct Packer
{
    Q_DECLARE_TR_FUNCTIONS(kt::cli::Packer)
};
} // namespace

void TerminalProgress::beginJoin()
{
    redraw();
}

void TerminalProgress::showPackingFile(const QString& fullPath)
{
    m_file = fullPath;
}

void TerminalProgress::showCheckingFile(const QString& fullPath)
{
    m_checking = true;
    m_percent = 0;
    showPackingFile(fullPath);
}

// A pass of the join gives its texts first and moves the bar last: the line is drawn then,
// once a pass (at most about once a frame), from all of them.
void TerminalProgress::setProgressBarPos(int percent)
{
    m_percent = percent;
    redraw();
}

void TerminalProgress::setPercentText(const QString&) {}

void TerminalProgress::setTimeRemainingText(const QString& text)
{
    m_timeRemaining = text;
}

bool TerminalProgress::cancelRequested() const
{
    return cancelPressed();
}

void TerminalProgress::closeWindow()
{
    endProgressLine();
}

void TerminalProgress::redraw()
{
    QString line = QStringLiteral("%1%").arg(m_percent, 3);
    if (!m_timeRemaining.isEmpty())
        line += QStringLiteral("  ") + m_timeRemaining;
    if (!m_file.isEmpty())
        line += QStringLiteral("  ") +
                (m_checking ? texts::checkingFile(QFileInfo(m_file).fileName())
                            : Packer::tr("Packing %1").arg(quotedName(QFileInfo(m_file).fileName())));
    if (line != m_drawn)
        drawProgressLine(line);
    m_drawn = line;
}

QString CliPackHost::askOutputPath()
{
    const QFileInfo info(m_options.output);
    if (!m_options.force && (info.isFile() || info.isSymLink())) {
        const int answer = MsgBox(
            Packer::tr("%1 already exists. Do you want to replace it?").arg(quotedName(m_options.output)),
            MB_YESNO | MB_ICONEXCLAMATION);
        if (answer != IDYES)
            return {};
    }
    return m_options.output;
}

void CliPackHost::runJoinInProgressWindow(const std::function<void(ProgressView&)>& join)
{
    TerminalProgress progress;
    installCancelHandler();
    join(progress);
    removeCancelHandler();
    endProgressLine();
}

} // namespace kt::cli
