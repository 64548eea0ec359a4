#pragma once
// The icon-file loader with its drawing surfaces.
//
// One loader stands for the hidden start-up form's picture boxes: a caller sets the
// background, loads a file and takes finishedPicture(). The surfaces keep what they held
// when a load fails before an image was read, as the callers expect.
#include "IconFormat.h"

#include <QString>

namespace kt::icon {

QString invalidIconFileText();                 // no usable entry
QString failedToLoadText(const QString& path); // the chosen image cannot be read

class IconLoader
{
public:
    // Background of the composite surface, 0xRRGGBB; shows through transparent pixels.
    void setBackground(quint32 rgb) { m_background = rgb; }

    // Picks, reads and composes the icon; on failure shows the loader's message (OK
    // button only) and returns false.
    bool LoadOpenFileICO(const QString& path);

    // The picture a caller copies. For a 32-bit icon that is the alpha-blended
    // composite (picTemp 1); for any other depth it is the mask composite (PicIcon),
    // since picTemp is only drawn for 32-bit icons and would hold a stale picture.
    const PixelBuffer& finishedPicture() const { return m_lastBitCount == 32 ? picTemp[1] : PicIcon; }

    PixelBuffer picImage;
    PixelBuffer picMask;
    PixelBuffer PicIcon;
    PixelBuffer picTemp[2];

private:
    void compose(const IconImage& image);

    quint32 m_background = 0xF0F0F0;
    int m_lastBitCount = 0;
};

// The loader shared by every window (the start-up form's surfaces).
IconLoader& sharedIconLoader();

} // namespace kt::icon
