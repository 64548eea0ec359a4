#include "CliPackHost.h"

#include "cli/Terminal.h"
#include "engine/PackTexts.h"
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
    m_lastDrawn = -1;
    redraw();
}

void TerminalProgress::showCheckingFile(const QString& fullPath)
{
    m_checking = true;
    m_percent = 0;
    showPackingFile(fullPath);
}

void TerminalProgress::setProgressBarPos(int percent)
{
    m_percent = percent;
    if (percent != m_lastDrawn)
        redraw(); // at most about a hundred redraws per file
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
    m_lastDrawn = m_percent;
    QString line = QStringLiteral("%1%").arg(m_percent, 3);
    if (!m_timeRemaining.isEmpty())
        line += QStringLiteral("  ") + m_timeRemaining;
    if (!m_file.isEmpty())
        line += QStringLiteral("  ") +
                (m_checking ? texts::checkingFile(QFileInfo(m_file).fileName())
                            : QStringLiteral("Packing '%1'").arg(QFileInfo(m_file).fileName()));
    drawProgressLine(line);
}

QString CliPackHost::askOutputPath()
{
    const QFileInfo info(m_options.output);
    if (!m_options.force && (info.isFile() || info.isSymLink())) {
        const int answer =
            MsgBox(QStringLiteral("'%1' already exists. Do you want to replace it?").arg(m_options.output),
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
