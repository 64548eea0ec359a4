#include "IconLoader.h"

#include "base/RegularFile.h"
#include "platform/MessageBox.h"

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
// Far more than a full directory (65,535 entries) and a 32x32 image take; bytes past it are
// never read, so a long tail after a valid icon costs nothing and does not stop it loading.
constexpr qint64 kIconReadLimit = 4 * 1024 * 1024;

QByteArray readIconFile(const QString& path, bool* ok)
{
    // A pipe or a device in an icon's place is refused without waiting on it.
    std::optional<FilePrefix> prefix = readRegularFilePrefix(path, kIconReadLimit);
    *ok = prefix.has_value();
    return prefix ? std::move(prefix->bytes) : QByteArray();
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
