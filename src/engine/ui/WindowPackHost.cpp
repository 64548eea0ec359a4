#include "WindowPackHost.h"

#include "ProgressRun.h"
#include "engine/DoPack.h"
#include "engine/PackTexts.h"
#include "engine/SaveDialog.h"

#include <QCoreApplication>
#include <QPointer>

namespace kt {
namespace {

template <typename F, typename... Args> void callIfSet(const F& hook, Args&&... args)
{
    if (hook)
        hook(std::forward<Args>(args)...);
}

class WindowPackHost final : public PackHost
{
public:
    WindowPackHost(QWidget* mainWindow, MainWindowPackHooks hooks, const PackOptionValues& options)
        : m_window(mainWindow), m_hooks(std::move(hooks)), m_options(options)
    {
    }

    QStringList packListPaths() const override
    {
        return m_hooks.packListPaths ? m_hooks.packListPaths() : QStringList();
    }
    QString askOutputPath() override { return fileDialogs().getSaveFileName(saveDialogRequest()).trimmed(); }
    PackOptionValues packOptions() const override { return m_options; }

    void hideLogo() override { callIfSet(m_hooks.hideLogo); }
    void unhideLogo() override { callIfSet(m_hooks.unhideLogo); }
    void busyMode(const QString& operation) override { callIfSet(m_hooks.busyMode, operation); }
    void notBusyMode() override { callIfSet(m_hooks.notBusyMode); }
    void errorResumeProgram() override { callIfSet(m_hooks.errorResumeProgram); }
    void setStatusText(const QString& text) override { callIfSet(m_hooks.setStatusText, text); }
    // The main window shortens the path for its own status bar, whose font and width are
    // not the progress window's.
    void showPackingFile(const QString& fullPath) override
    {
        callIfSet(m_hooks.showFileInStatus, fullPath, [](const QString& shown) {
            return QCoreApplication::translate("kt::ProgressWindow", "Packing '%1'").arg(shown);
        });
    }
    void showCheckingFile(const QString& fullPath) override
    {
        callIfSet(m_hooks.showFileInStatus, fullPath, &texts::checkingFile);
    }
    void setWaitCursor(bool wait) override
    {
        if (!m_window)
            return;
        if (wait)
            m_window->setCursor(Qt::WaitCursor);
        else
            m_window->unsetCursor();
    }
    void destroyMainProgressBar() override { callIfSet(m_hooks.destroyMainProgressBar); }

    void runJoinInProgressWindow(const std::function<void(ProgressView&)>& join) override
    {
        kt::runJoinInProgressWindow(m_window, join);
    }

private:
    QPointer<QWidget> m_window;
    MainWindowPackHooks m_hooks;
    PackOptionValues m_options;
};

} // namespace

PackOutcome PackFromWindow(QWidget* mainWindow, MainWindowPackHooks hooks, const PackOptionValues& options,
                           File64& file)
{
    WindowPackHost host(mainWindow, std::move(hooks), options);
    return DoPack(host, file);
}

} // namespace kt
