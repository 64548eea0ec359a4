#pragma once
// What the pack command and the join need from whoever runs them.
//
// The engine (DoPack, JoinFiles, DeleteFiles) holds the whole sequence: every check,
// every message, what Cancel and each failure do, and in which order. A front end only
// answers questions about its state and draws what it is told. The main window and the
// progress window implement these for the desktop, klivatarn-pack for a terminal, and the
// tests with fakes that record every call.
//
// Messages and questions never go through these interfaces: they go through MsgBox().
#include "base/PackOptions.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace kt {

// The progress window of one join. It only draws: it never closes itself and never
// touches files. Its Cancel button (and its close box) only set the flag that
// cancelRequested() reports; the engine then runs the whole cancel sequence and calls
// closeWindow().
class ProgressView
{
public:
    virtual ~ProgressView() = default;

    // The join starts: create the progress bar (at 0), hourglass over the window
    // (the arrow over Cancel), time-remaining label visible.
    virtual void beginJoin() = 0;
    // The file now being packed, as a full path. The label shows
    // "Packing '" + the path shortened by FormatDir to 4600 twips + "'".
    virtual void showPackingFile(const QString& fullPath) = 0;
    // The second pass, before sources go to the trash: the output is read back and compared
    // with them. The bar is made again at 0 and runs again through setProgressBarPos, the
    // percentage and the estimate as in the join; the label shows texts::checkingFile() of
    // the output path, shortened as for packing. Cancel stops the pass.
    virtual void showCheckingFile(const QString& fullPath) = 0;
    // SetProgBarPos: moves the bar to percent (0..100), then lets pending events through
    // once, so a Cancel click is seen. The only place where the join yields: by time, at
    // least once a frame and at each file's start and end, after the texts of the moment.
    virtual void setProgressBarPos(int percent) = 0;
    // The percentage label, e.g. "42%"; empty hides it.
    virtual void setPercentText(const QString& text) = 0;
    // The time-remaining label, e.g. "6 minutes 20 seconds remaining".
    virtual void setTimeRemainingText(const QString& text) = 0;
    // How long the display shows one picture, in microseconds: the join yields at least
    // this often. A window draws the latest values at most once in it.
    virtual qint64 frameMicroseconds() const { return kDefaultFrameMicroseconds; }
    static constexpr qint64 kDefaultFrameMicroseconds = 16'667; // 60 Hz
    // True once Cancel was pressed (or the window's close box used) during this join.
    virtual bool cancelRequested() const = 0;
    // The join's bar is no longer needed (DestroyProgBar).
    virtual void destroyProgressBar() = 0;
    // Default mouse pointer and close the window; the modal run then returns.
    virtual void closeWindow() = 0;
};

// The main window as the pack command sees it.
class PackHost
{
public:
    virtual ~PackHost() = default;

    // The Pack List's paths in display (join) order, read once per pack.
    virtual QStringList packListPaths() const = 0;
    // The "Save Pack File As" dialog with its own overwrite prompt (saveDialogRequest()
    // in SaveDialog.h gives title and filter), trimmed. Empty when the user cancelled.
    virtual QString askOutputPath() = 0;
    // The options of this pack (MPEG check, transfer rate, delete-after action), read once
    // when the Save dialog has given the output.
    virtual PackOptionValues packOptions() const = 0;

    // Status bar busy look: panel 2 "BUSY" and the busy picture.
    virtual void hideLogo() = 0;
    // Idle look: panel 1 "Awaiting for job...", panel 2 "IDLE", the idle picture.
    virtual void unhideLogo() = 0;
    // A long operation starts ("pack"): the File and Action menus are disabled.
    virtual void busyMode(const QString& operation) = 0;
    // The File and Action menus are enabled again.
    virtual void notBusyMode() = 0;
    // Back to idle after a failure: unhideLogo, default pointer, notBusyMode.
    virtual void errorResumeProgram() = 0;
    // Status bar panel 1, repainted at once ("Checking available freespace...").
    virtual void setStatusText(const QString& text) = 0;
    // Status bar panel 1 := "Packing '" + path shortened by FormatDir to fit the panel + "'".
    virtual void showPackingFile(const QString& fullPath) = 0;
    // The read-back pass: panel 1 := texts::checkingFile() of the path, shortened the same way.
    virtual void showCheckingFile(const QString& fullPath) = 0;
    // Hourglass (true) or default arrow (false) over the main window.
    virtual void setWaitCursor(bool wait) = 0;
    // Cancel destroys the main window's own progress bar, if it has one.
    virtual void destroyMainProgressBar() = 0;

    // Shows the progress window modally and, once it is active and painted, calls
    // join(view) with it. Returns when the window has closed (the join always ends by
    // calling view.closeWindow()); if join returns while the window is still open,
    // the host closes it.
    virtual void runJoinInProgressWindow(const std::function<void(ProgressView&)>& join) = 0;
};

} // namespace kt
