#include "CliPackHost.h"

#include "base/TextUtils.h"
#include "cli/Terminal.h"
#include "platform/MessageBox.h"

#include <QFileInfo>

namespace kt::cli {

void TerminalProgress::beginJoin()
{
    redraw();
}

void TerminalProgress::showPackingFile(const QString& fullPath)
{
    m_file = fullPath;
    redraw();
}

// The join moves the bar first and gives the estimate and the percentage after it: the line
// is drawn from those, so that it never shows the estimate of the step before.
void TerminalProgress::setProgressBarPos(int percent)
{
    m_percent = percent;
}

void TerminalProgress::setPercentText(const QString&)
{
    redraw();
}

void TerminalProgress::setTimeRemainingText(const QString& text)
{
    m_timeRemaining = text;
    redraw();
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
        line += QStringLiteral("  Packing ") + quotedName(QFileInfo(m_file).fileName());
    if (line != m_drawn)
        drawProgressLine(line);
    m_drawn = line;
}

QString CliPackHost::askOutputPath()
{
    const QFileInfo info(m_options.output);
    if (!m_options.force && (info.isFile() || info.isSymLink())) {
        const int answer = MsgBox(
            QStringLiteral("%1 already exists. Do you want to replace it?").arg(quotedName(m_options.output)),
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
