#pragma once
// Pictures for the windows: decoded icon buffers as QImage, the About box pictures
// prepared at start-up, and the application icon.
#include "auxiliary/icon/IconFormat.h"

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QPixmap>

class QWidget;

namespace kt {

QImage toImage(const icon::PixelBuffer& buffer);

// The two pictures start-up drew for the About box (null when their load failed).
QPixmap aboutProductPicture(); // KlvTarn.ir
QPixmap aboutMailPicture();    // Radur.ir

// The application icon (16, 24, 32 and 48 px).
QIcon programIcon();
// Gives `window` and its top owner the application icon (the auxiliary windows' own
// SetWindowIcons step).
void SetWindowIcons(QWidget* window);

} // namespace kt
