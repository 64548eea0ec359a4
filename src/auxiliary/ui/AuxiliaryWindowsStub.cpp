// Placeholder until the auxiliary windows are built: the commands do nothing yet.
#include "AuxiliaryWindows.h"

namespace kt {

void openTipOfTheDay(QWidget*) {}
void showAboutBox(QWidget*) {}
void showTechSupport(QWidget*) {}
void openHelpTopics(const QString&) {}
void openWebTarget(WebTarget) {}
QString webTargetAddress(WebTarget) { return {}; }
QString makerName() { return QStringLiteral("Vantu Software"); }
void prepareAboutPictures(const QString&, const QColor&) {}
QPixmap loadIconFilePicture(const QString&, const QColor&) { return {}; }

} // namespace kt
