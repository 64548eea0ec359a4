#pragma once
// What the main window asks of the auxiliary windows. One entry point per command;
// each shows its own messages through the seams.
#include "auxiliary/about/Links.h"

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

class QWidget;

namespace kt {

// Help menu.
void openTipOfTheDay(QWidget* owner);           // modeless, owned by `owner`, deleted on close
void showAboutBox(QWidget* owner);              // modal
void showTechSupport(QWidget* owner);           // modal
void openHelpTopics(const QString& programDir); // the help file, or its not-found message

void openWebTarget(WebTarget target);
QString webTargetAddress(WebTarget target);
QString makerName(); // caption of the maker's home-page item

// Start-up step 10: the About box pictures from KlvTarn.ir and Radur.ir, drawn over
// `background`. Shows the loader's message when a file cannot be loaded.
void prepareAboutPictures(const QString& programDir, const QColor& background);

// Loads an icon file beside the executable over `background` (the loader's message on
// failure, and a null pixmap).
QPixmap loadIconFilePicture(const QString& path, const QColor& background);

// The application icon at 16, 24, 32 and 48 px, from the program's resources.
QIcon programIcon();

} // namespace kt
