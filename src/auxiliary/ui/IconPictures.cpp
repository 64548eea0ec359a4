#include "IconPictures.h"

#include "AuxiliaryWindows.h"
#include "auxiliary/icon/IconLoader.h"

#include <QGuiApplication>
#include <QWidget>

static void initAppIconResource()
{
    Q_INIT_RESOURCE(appicon);
}

namespace kt {

namespace {
// Built on first use: a pixmap needs the application object.
struct AboutPictures
{
    QPixmap product;
    QPixmap mail;
};
AboutPictures& aboutPictures()
{
    static AboutPictures pictures;
    return pictures;
}
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
    AboutPictures& p = aboutPictures();
    p.product = loadIconFilePicture(programDir + QStringLiteral("/KlvTarn.ir"), background);
    if (!p.product.isNull())
        p.mail = loadIconFilePicture(programDir + QStringLiteral("/Radur.ir"), background);
}

QPixmap aboutProductPicture()
{
    return aboutPictures().product;
}
QPixmap aboutMailPicture()
{
    return aboutPictures().mail;
}

QIcon programIcon()
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
    // The application's icon when the program has set one, so every window shows the same.
    const QIcon appIcon = QGuiApplication::windowIcon();
    const QIcon icon = appIcon.isNull() ? programIcon() : appIcon;
    QWidget* top = window;
    while (top->parentWidget())
        top = top->parentWidget()->window();
    top->setWindowIcon(icon);
    window->setWindowIcon(icon);
}

} // namespace kt
