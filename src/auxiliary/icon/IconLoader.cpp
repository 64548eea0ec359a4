#include "IconLoader.h"

#include "platform/MessageBox.h"

#include <QCoreApplication>

namespace kt::icon {

QString invalidIconFileText()
{
    return QCoreApplication::translate("kt::IconLoader",
                                       "Invalid icon file or file does not contain 32x32 or 16x16 icon");
}

QString failedToLoadText(const QString& path)
{
    return path + QLatin1Char('\n') +
           QCoreApplication::translate("kt::IconLoader", "Failed to load this file");
}

bool IconLoader::LoadOpenFileICO(const QString& path)
{
    // One open file for picking and decoding; each reads only what it needs, where it lies.
    const FileSource source(path);
    const int index = source.isOpen() ? PickIconEntry(source) : -1;
    if (index < 0) {
        MsgBox(invalidIconFileText(), MB_OK);
        return false;
    }
    const auto image = ReadIconImage(source, index);
    if (!image) {
        picImage = {};
        picMask = {};
        PicIcon = {};
        MsgBox(failedToLoadText(path), MB_OK);
        return false;
    }
    m_lastBitCount = image->bitCount;
    picImage = imageSurface(*image);
    picMask = maskSurface(*image);
    compose(*image);
    return true;
}

void IconLoader::compose(const IconImage& image)
{
    PicIcon = ComposeIcon(image, m_background);
    if (image.bitCount == 32) {
        picTemp[0] = PicIcon;
        picTemp[1] = BlendAlpha(image, unpackRgb(m_background));
    }
}

IconLoader& sharedIconLoader()
{
    static IconLoader loader;
    return loader;
}

} // namespace kt::icon
