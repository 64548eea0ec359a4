#pragma once
// The main window as the pack command's host.
//
// The main window hands over the options of this pack as a value (its OptionState's), and
// the status bar's busy and idle looks and the menus as hooks. Questions and messages go
// through MsgBox, the Save dialog through fileDialogs().
#include "engine/JoinFiles.h"
#include "engine/PackHost.h"

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
    // Status bar panel 1 names a file (being packed, being checked): wording(the path
    // shortened for the panel).
    std::function<void(const QString& fullPath, const std::function<QString(const QString&)>& wording)>
        showFileInStatus;
    // The main window's own progress bar, when it has one.
    std::function<void()> destroyMainProgressBar;
};

// The Pack command of the main window: DoPack with the window as its host and the window's
// options, sharing the window's File64 object.
PackOutcome PackFromWindow(QWidget* mainWindow, MainWindowPackHooks hooks, const PackOptionValues& options,
                           File64& file);

} // namespace kt
