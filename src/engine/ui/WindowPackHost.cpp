#include "WindowPackHost.h"

#include "ProgressRun.h"
#include "ProgressWindow.h"
#include "engine/DoPack.h"
#include "engine/SaveDialog.h"

#include <QAction>

namespace kt {

namespace {

template <typename F, typename... Args> void callIfSet(const F& hook, Args&&... args)
{
    if (hook)
        hook(std::forward<Args>(args)...);
}

} // namespace

WindowPackHost::WindowPackHost(QWidget* mainWindow, MainWindowPackHooks hooks)
    : m_window(mainWindow), m_hooks(std::move(hooks))
{
}

bool WindowPackHost::checked(const char* name, bool fallback) const
{
    if (!m_window)
        return fallback;
    const auto* action = m_window->findChild<QAction*>(QLatin1String(name));
    return action ? action->isChecked() : fallback;
}

QStringList WindowPackHost::packListPaths() const
{
    return m_hooks.packListPaths ? m_hooks.packListPaths() : QStringList();
}

QString WindowPackHost::askOutputPath()
{
    return fileDialogs().getSaveFileName(saveDialogRequest()).trimmed();
}

bool WindowPackHost::mpegCheckEnabled() const
{
    return checked("MCheckMnu", true);
}

BlockSize WindowPackHost::transferBlock() const
{
    // The first checked item, slowest first; Normal when none is.
    if (checked("SlowSpeedChk", false))
        return blockSizeFor(TransferRate::Slow);
    if (checked("NormalSpeedChk", false))
        return blockSizeFor(TransferRate::Normal);
    if (checked("FastSpeedChk", false))
        return blockSizeFor(TransferRate::Fast);
    if (checked("UltraSpeedChk", false))
        return blockSizeFor(TransferRate::UltraFast);
    return blockSizeFor(TransferRate::Normal);
}

DeleteAfterAction WindowPackHost::deleteAfterAction() const
{
    if (checked("DelNoMnu", false))
        return DeleteAfterAction::No;
    // Prompt wins when both trash items are checked: the cautious one.
    if (checked("DelPromptMnu", false))
        return DeleteAfterAction::Prompt;
    if (checked("DelNoPromptMnu", false))
        return DeleteAfterAction::NoPrompt;
    return DeleteAfterAction::No;
}

void WindowPackHost::hideLogo()
{
    callIfSet(m_hooks.hideLogo);
}

void WindowPackHost::unhideLogo()
{
    callIfSet(m_hooks.unhideLogo);
}

void WindowPackHost::busyMode(const QString& operation)
{
    callIfSet(m_hooks.busyMode, operation);
}

void WindowPackHost::notBusyMode()
{
    callIfSet(m_hooks.notBusyMode);
}

void WindowPackHost::errorResumeProgram()
{
    callIfSet(m_hooks.errorResumeProgram);
}

void WindowPackHost::setStatusText(const QString& text)
{
    callIfSet(m_hooks.setStatusText, text);
}

void WindowPackHost::showPackingFile(const QString& fullPath)
{
    // Shortened exactly as in the progress window's label.
    const double dpi = m_window ? m_window->logicalDpiX() : 96.0;
    setStatusText(ProgressWindow::packingText(fullPath, ProgressWindow::labelFont(), dpi));
}

void WindowPackHost::setWaitCursor(bool wait)
{
    if (!m_window)
        return;
    if (wait)
        m_window->setCursor(Qt::WaitCursor);
    else
        m_window->unsetCursor();
}

void WindowPackHost::destroyMainProgressBar()
{
    callIfSet(m_hooks.destroyMainProgressBar);
}

PackOutcome PackFromWindow(QWidget* mainWindow, MainWindowPackHooks hooks, File64& file)
{
    WindowPackHost host(mainWindow, std::move(hooks));
    return DoPack(host, file);
}

void WindowPackHost::runJoinInProgressWindow(const std::function<void(ProgressView&)>& join)
{
    kt::runJoinInProgressWindow(m_window, join);
}

} // namespace kt
