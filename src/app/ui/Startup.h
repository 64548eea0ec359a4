#pragma once
// The program's start: its command line, the single-instance guard and the hand-over of
// files to a copy already running, the display, then the hidden start-up form, the start-up
// values, the main window and the About pictures.
#include <QStringList>
#include <QWidget>
#include <functional>

class QApplication;

namespace kt {

class MainWindow;
class MessageBoxPresenter;

// Sets the window's icons (and its top owner's) from the application icon.
void SetWindowIcons(QWidget* window, const QString& resourceName, bool alsoTopOwner);

// What a build for the tests replaces; the installed program uses the defaults.
struct ProgramSeams
{
    MessageBoxPresenter* messageBoxes = nullptr; // nullptr: the window's message boxes
    QString runtimeFolder;                       // empty: the user's private runtime folder
    int handOverWaitMs = 10000;                  // how long a second start waits for the window
    // After files from the command line or a hand-over were added and the window raised.
    std::function<void(MainWindow&)> filesAdded;
};

// The process: reads the command line (argv goes to nobody else: the toolkit's own
// options are not parsed), then hands the files over or runs the window. Returns the exit
// status.
int programMain(int argc, char* argv[], const ProgramSeams& seams = {});

// The window's part of the start: the start-up form, the start-up values, the main window
// with `files` added, the About pictures; files from later starts arrive through
// `handOverSocket` when it is not empty. Returns when the window is closed.
int Main(QApplication& app, const QStringList& files, const QString& handOverSocket,
         const ProgramSeams& seams);

// The display's DPI as the user set it, from the primary screen (96 without one).
int displayDpi();

// The single-instance refusal.
QString alreadyRunningText(); // "This program is already running!"

} // namespace kt
