#include "IconLoader.h"

#include "platform/MessageBox.h"

#include <QFile>

namespace kt::icon {

QString invalidIconFileText()
{
    return QStringLiteral("Invalid icon file or file does not contain 32x32 or 16x16 icon");
}

QString failedToLoadText(const QString& path)
{
    return path + QLatin1Char('\n') + QStringLiteral("Failed to load this file");
}

namespace {
// The icon files are tiny; a file of many megabytes is not an icon and is not read.
constexpr qint64 kMaxIconFileSize = 16 * 1024 * 1024;

QByteArray readIconFile(const QString& path, bool* ok)
{
    QFile file(path);
    *ok = false;
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxIconFileSize)
        return {};
    QByteArray bytes = file.readAll();
    *ok = file.error() == QFileDevice::NoError;
    return bytes;
}
} // namespace

bool IconLoader::LoadOpenFileICO(const QString& path)
{
    // One read of the whole file, so picking and decoding see the same bytes.
    bool readOk = false;
    const QByteArray bytes = readIconFile(path, &readOk);
    const MemorySource source(bytes);
    const int index = readOk ? PickIconEntry(source) : -1;
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
