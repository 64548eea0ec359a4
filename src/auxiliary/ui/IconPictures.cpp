#include "IconPictures.h"

#include <QWidget>

#include "AuxiliaryWindows.h"
#include "auxiliary/icon/IconLoader.h"

static void initAppIconResource() { Q_INIT_RESOURCE(appicon); }

namespace kt {

namespace {
QPixmap g_product;
QPixmap g_mail;
} // namespace

QImage toImage(const icon::PixelBuffer& buffer)
{
    if (buffer.isNull() || buffer.pixels.size() != qsizetype(buffer.width) * buffer.height)
        return {};
    QImage image(buffer.width, buffer.height, QImage::Format_RGB32);
    for (int y = 0; y < buffer.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < buffer.width; ++x)
            line[x] = 0xFF000000u | buffer.pixels.at(y * buffer.width + x);
    }
    return image;
}

QPixmap loadIconFilePicture(const QString& path, const QColor& background)
{
    icon::IconLoader& loader = icon::sharedIconLoader();
    loader.setBackground(background.rgb() & 0xFFFFFFu);
    if (!loader.LoadOpenFileICO(path))
        return {};
    return QPixmap::fromImage(toImage(loader.finishedPicture()));
}

void prepareAboutPictures(const QString& programDir, const QColor& background)
{
    // The mail picture is only tried once the product picture has loaded.
    g_product = loadIconFilePicture(programDir + QStringLiteral("/KlvTarn.ir"), background);
    if (!g_product.isNull())
        g_mail = loadIconFilePicture(programDir + QStringLiteral("/Radur.ir"), background);
}

QPixmap aboutProductPicture() { return g_product; }
QPixmap aboutMailPicture() { return g_mail; }

void clearAboutPictures()
{
    g_product = {};
    g_mail = {};
}

QIcon applicationIcon()
{
    static const QIcon icon = [] {
        initAppIconResource();
        QIcon i;
        for (int size : {16, 24, 32, 48})
            i.addFile(QStringLiteral(":/klivatarn/app-%1.png").arg(size), QSize(size, size));
        return i;
    }();
    return icon;
}

void SetWindowIcons(QWidget* window)
{
    const QIcon icon = applicationIcon();
    QWidget* top = window;
    while (top->parentWidget())
        top = top->parentWidget()->window();
    top->setWindowIcon(icon);
    window->setWindowIcon(icon);
}

} // namespace kt
