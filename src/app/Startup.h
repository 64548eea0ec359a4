#pragma once
// The program's start: the hidden start-up form, the single-instance guard, the
// start-up values, the main window, the About pictures.
#include <QWidget>

class QApplication;

namespace kt {

// Sets the window's icons (and its top owner's) from the application icon.
void SetWindowIcons(QWidget* window, const QString& resourceName, bool alsoTopOwner);

// Runs the program; returns the exit code. Command-line arguments are ignored.
int Main(QApplication& app);

// The display's DPI as the user set it, from the primary screen (96 without one).
int displayDpi();

// The single-instance refusal.
QString alreadyRunningText(); // "This program is already running!"

} // namespace kt
