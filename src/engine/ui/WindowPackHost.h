#pragma once
// The main window as the pack command's host.
//
// The options are read where they live, in the check marks of the main window's option
// items (found by their object names), at the moment the engine asks. The status bar's
// busy and idle looks and the menus belong to the main window; it hands them over as
// hooks. Questions and messages go through MsgBox, the Save dialog through fileDialogs().
#include "engine/JoinFiles.h"
#include "engine/PackHost.h"

#include <QPointer>
#include <QWidget>
#include <functional>

namespace kt {

struct MainWindowPackHooks
{
    std::function<QStringList()> packListPaths;
    std::function<void()> hideLogo;
    std::function<void()> unhideLogo;
    std::function<void(const QString&)> busyMode;
    std::function<void()> notBusyMode;
    std::function<void()> errorResumeProgram;
    // Status bar panel 1, painted at once.
    std::function<void(const QString&)> setStatusText;
    // The main window's own progress bar, when it has one.
    std::function<void()> destroyMainProgressBar;
};

class WindowPackHost final : public PackHost
{
public:
    WindowPackHost(QWidget* mainWindow, MainWindowPackHooks hooks);

    QStringList packListPaths() const override;
    QString askOutputPath() override;
    bool mpegCheckEnabled() const override;
    BlockSize transferBlock() const override;
    DeleteAfterAction deleteAfterAction() const override;

    void hideLogo() override;
    void unhideLogo() override;
    void busyMode(const QString& operation) override;
    void notBusyMode() override;
    void errorResumeProgram() override;
    void setStatusText(const QString& text) override;
    void showPackingFile(const QString& fullPath) override;
    void setWaitCursor(bool wait) override;
    void destroyMainProgressBar() override;

    void runJoinInProgressWindow(const std::function<void(ProgressView&)>& join) override;

private:
    // The check mark of a named option item; fallback when the item does not exist.
    bool checked(const char* name, bool fallback) const;

    QPointer<QWidget> m_window;
    MainWindowPackHooks m_hooks;
};

// The Pack command of the main window: DoPack with the window as its host, sharing the
// window's File64 object.
PackOutcome PackFromWindow(QWidget* mainWindow, MainWindowPackHooks hooks, File64& file);

} // namespace kt
