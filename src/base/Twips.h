#pragma once
// Twips (1/1440 inch) to pixels through a logical resolution in dots per inch.
#include <QtGlobal>

namespace kt {

inline int twipsToPixels(int twips, qreal dpi)
{
    return qRound(twips * dpi / 1440.0);
}

inline int pixelsToTwips(int pixels, qreal dpi)
{
    return dpi > 0 ? qRound(pixels * 1440.0 / dpi) : 0;
}

} // namespace kt
