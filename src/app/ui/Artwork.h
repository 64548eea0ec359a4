#pragma once
// The window's pictures, drawn at run time so they are sharp at any size: the fourteen
// toolbar images, the status bar's busy and idle logos and the move-button arrows.
#include <QIcon>
#include <QPixmap>

namespace kt {

// Toolbar image list: 0-6 the style with depth (add, remove, up, down, pack, options,
// help), 7-13 the same seven in a plain flat style. `size` in logical pixels, drawn
// for a screen with `dpr` device pixels per logical pixel.
QPixmap toolbarImage(int index, int size, double dpr = 1.0);
inline constexpr int kToolbarImageCount = 14;

// The status bar logos: idle (a green tick) or busy (an amber hourglass), `pixels`
// device pixels square (16 or 20), shown on a screen with `dpr`.
QPixmap statusLogo(bool busy, int pixels, double dpr = 1.0);

// The arrow pictures of the move buttons beside the list.
QPixmap moveArrow(bool up, int width, int height);

} // namespace kt
