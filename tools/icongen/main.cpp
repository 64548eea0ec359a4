// Draws the program's icons and writes them out:
//   <data-dir>/{KlvTarn,Radur,Busy,Idle,Tod}.ir   Windows icon files, one 32x32 image with
//                                                32-bit colour and alpha, plus its mask
//   <png-dir>/app-{16,24,32,48}.png               the application icon of the windows
//   <theme-dir>/<n>x<n>/apps/<id>.png             the application icon for the desktop's
//   <theme-dir>/scalable/apps/<id>.svg            icon theme (n = 16 ... 256; the SVG when
//                                                built with Qt SVG)
// Everything is drawn with QPainter from shapes (no fonts), so the output does not depend
// on the machine. Usage: kt_icongen DATA_DIR PNG_DIR [THEME_DIR APP_ID]
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtEndian>
#include <cstdio>
#include <functional>
#ifdef KT_ICONGEN_SVG
#include <QSvgGenerator>
#endif

namespace {

using Drawing = std::function<void(QPainter&)>; // draws in a 32 x 32 box

QImage render(const Drawing& draw, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    draw(p);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

void putLe16(QByteArray& out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void putLe32(QByteArray& out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

// One-image icon file: header, one entry, BITMAPINFOHEADER, BGRA rows bottom-up, mask.
// Fully transparent pixels get mask bit 1 and black colour bits, so that the classic
// AND/XOR composite shows the background there.
QByteArray iconFile(const QImage& image)
{
    const int w = image.width();
    const int h = image.height();
    const int maskStride = ((w + 31) / 32) * 4;
    const quint32 imageBytes = 40 + w * h * 4 + maskStride * h;
    QByteArray out;
    putLe16(out, 0);
    putLe16(out, 1);
    putLe16(out, 1);
    out.append(char(w)).append(char(h)).append(char(0)).append(char(0));
    putLe16(out, 1);
    putLe16(out, 32);
    putLe32(out, imageBytes);
    putLe32(out, 6 + 16);
    putLe32(out, 40);
    putLe32(out, quint32(w));
    putLe32(out, quint32(h * 2));
    putLe16(out, 1);
    putLe16(out, 32);
    putLe32(out, 0);
    putLe32(out, quint32(w * h * 4 + maskStride * h));
    putLe32(out, 0);
    putLe32(out, 0);
    putLe32(out, 0);
    putLe32(out, 0);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const QRgb c = image.pixel(x, y);
            const bool clear = qAlpha(c) == 0;
            out.append(char(clear ? 0 : qBlue(c))).append(char(clear ? 0 : qGreen(c)));
            out.append(char(clear ? 0 : qRed(c))).append(char(qAlpha(c)));
        }
    }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < w; ++x)
            if (qAlpha(image.pixel(x, y)) == 0)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        out.append(row);
    }
    return out;
}

void filmFrame(QPainter& p, const QRectF& r, const QColor& body, const QColor& picture)
{
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawRoundedRect(r, 1.2, 1.2);
    p.setBrush(picture);
    p.drawRect(r.adjusted(r.width() * 0.18, 1.1, -r.width() * 0.18, -1.1));
    p.setBrush(body.darker(170));
    const double hole = r.width() * 0.09;
    for (double y = r.top() + 1.2; y < r.bottom() - 1.0; y += 2.2) {
        p.drawRect(QRectF(r.left() + hole * 0.6, y, hole, 1.1));
        p.drawRect(QRectF(r.right() - hole * 1.6, y, hole, 1.1));
    }
}

// The product: two film pieces whose paths join into one.
void drawProduct(QPainter& p)
{
    QLinearGradient bg(0, 0, 0, 32);
    bg.setColorAt(0, QColor(0x3b, 0x7d, 0xd8));
    bg.setColorAt(1, QColor(0x17, 0x3a, 0x73));
    p.setPen(QPen(QColor(0x10, 0x2a, 0x55), 1));
    p.setBrush(bg);
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);

    QPen join(QColor(0xff, 0xd0, 0x60), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(join);
    p.setBrush(Qt::NoBrush);
    QPainterPath paths;
    paths.moveTo(12, 9);
    paths.cubicTo(16, 9, 15, 16, 19, 16);
    paths.moveTo(12, 23);
    paths.cubicTo(16, 23, 15, 16, 19, 16);
    p.drawPath(paths);

    filmFrame(p, QRectF(3.5, 4.5, 9, 9), QColor(0xe8, 0xee, 0xf6), QColor(0x6c, 0xb4, 0xee));
    filmFrame(p, QRectF(3.5, 18.5, 9, 9), QColor(0xe8, 0xee, 0xf6), QColor(0x8f, 0xd1, 0x7a));
    filmFrame(p, QRectF(18.5, 8.5, 10, 15), QColor(0xff, 0xf4, 0xd6), QColor(0xf0, 0x9a, 0x3e));
}

// Mail: a closed envelope.
void drawMail(QPainter& p)
{
    const QRectF body(2.5, 7.5, 27, 18);
    QLinearGradient paper(0, 7, 0, 26);
    paper.setColorAt(0, QColor(0xff, 0xff, 0xff));
    paper.setColorAt(1, QColor(0xdc, 0xe4, 0xee));
    p.setPen(QPen(QColor(0x3a, 0x5a, 0x85), 1.2));
    p.setBrush(paper);
    p.drawRoundedRect(body, 2, 2);
    p.setPen(QPen(QColor(0x3a, 0x5a, 0x85), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0xc4, 0xd4, 0xea));
    QPainterPath flap;
    flap.moveTo(3.2, 8.3);
    flap.lineTo(16, 18);
    flap.lineTo(28.8, 8.3);
    flap.closeSubpath();
    p.drawPath(flap);
    p.drawLine(QPointF(3.5, 24.8), QPointF(12.5, 15.5));
    p.drawLine(QPointF(28.5, 24.8), QPointF(19.5, 15.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xd6, 0x3b, 0x2f));
    p.drawEllipse(QPointF(16, 17.2), 2.4, 2.4);
}

void disc(QPainter& p, const QColor& light, const QColor& dark)
{
    QRadialGradient g(QPointF(12, 10), 20);
    g.setColorAt(0, light);
    g.setColorAt(1, dark);
    p.setPen(QPen(dark.darker(140), 1));
    p.setBrush(g);
    p.drawEllipse(QRectF(1.5, 1.5, 29, 29));
}

// Busy: an hourglass on an amber disc.
void drawBusy(QPainter& p)
{
    disc(p, QColor(0xff, 0xc2, 0x4d), QColor(0xd9, 0x62, 0x0b));
    p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(10, 8), QPointF(22, 8));
    p.drawLine(QPointF(10, 24), QPointF(22, 24));
    QPainterPath glass;
    glass.moveTo(11.5, 8);
    glass.lineTo(20.5, 8);
    glass.lineTo(16, 16);
    glass.lineTo(20.5, 24);
    glass.lineTo(11.5, 24);
    glass.lineTo(16, 16);
    glass.closeSubpath();
    p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(glass);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    QPainterPath sand;
    sand.moveTo(12.8, 23);
    sand.lineTo(19.2, 23);
    sand.lineTo(16, 18.5);
    sand.closeSubpath();
    p.drawPath(sand);
}

// Idle: a check mark on a green disc.
void drawIdle(QPainter& p)
{
    disc(p, QColor(0x8b, 0xe0, 0x78), QColor(0x2a, 0x8a, 0x2f));
    p.setPen(QPen(Qt::white, 3.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath tick;
    tick.moveTo(9, 16.5);
    tick.lineTo(14, 21.5);
    tick.lineTo(23, 11);
    p.drawPath(tick);
}

// Tip of the Day: a lit bulb.
void drawTip(QPainter& p)
{
    p.setPen(QPen(QColor(0xff, 0xc8, 0x30), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 0.8), QPointF(16, 2.8));
    p.drawLine(QPointF(5.2, 4.6), QPointF(6.7, 6.1));
    p.drawLine(QPointF(26.8, 4.6), QPointF(25.3, 6.1));
    p.drawLine(QPointF(1.5, 14), QPointF(3.5, 14));
    p.drawLine(QPointF(30.5, 14), QPointF(28.5, 14));

    QRadialGradient glass(QPointF(14, 11), 11);
    glass.setColorAt(0, QColor(0xff, 0xff, 0xe0));
    glass.setColorAt(0.6, QColor(0xff, 0xe6, 0x5c));
    glass.setColorAt(1, QColor(0xf2, 0xb2, 0x1c));
    QPainterPath bulb;
    bulb.moveTo(11.5, 22);
    bulb.cubicTo(11.5, 18.5, 6, 17, 6, 12.5);
    bulb.cubicTo(6, 7, 10.5, 4, 16, 4);
    bulb.cubicTo(21.5, 4, 26, 7, 26, 12.5);
    bulb.cubicTo(26, 17, 20.5, 18.5, 20.5, 22);
    bulb.closeSubpath();
    p.setPen(QPen(QColor(0xb0, 0x78, 0x10), 1.1));
    p.setBrush(glass);
    p.drawPath(bulb);
    p.setPen(QPen(QColor(0xc0, 0x80, 0x10), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(13.5, 21.5), QPointF(13.5, 15), QPointF(15, 13.5), QPointF(16.5, 15),
                              QPointF(18, 13.5), QPointF(18.5, 15), QPointF(18.5, 21.5)}));

    QLinearGradient metal(11, 0, 21, 0);
    metal.setColorAt(0, QColor(0x9a, 0xa3, 0xad));
    metal.setColorAt(0.5, QColor(0xe4, 0xe8, 0xec));
    metal.setColorAt(1, QColor(0x7a, 0x84, 0x8f));
    p.setPen(QPen(QColor(0x55, 0x5e, 0x68), 0.8));
    p.setBrush(metal);
    p.drawRoundedRect(QRectF(11.5, 22, 9, 6), 1.2, 1.2);
    p.drawLine(QPointF(11.8, 24), QPointF(20.2, 24));
    p.drawLine(QPointF(11.8, 26), QPointF(20.2, 26));
    p.setBrush(QColor(0x55, 0x5e, 0x68));
    p.drawRoundedRect(QRectF(13.5, 28, 5, 2.2), 1, 1);
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

bool savePng(const QImage& image, const QString& path)
{
    if (!QDir().mkpath(QFileInfo(path).path()) || !image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// The application icon at every size a desktop's icon theme asks for.
bool writeThemeIcons(const QString& themeDir, const QString& appId)
{
    bool ok = true;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        ok &= savePng(render(drawProduct, size),
                      themeDir + QStringLiteral("/%1x%1/apps/").arg(size) + appId + QStringLiteral(".png"));
#ifdef KT_ICONGEN_SVG
    const QString svg = themeDir + QStringLiteral("/scalable/apps/") + appId + QStringLiteral(".svg");
    QDir().mkpath(QFileInfo(svg).path());
    QSvgGenerator generator;
    generator.setFileName(svg);
    generator.setSize(QSize(32, 32));
    generator.setViewBox(QRectF(0, 0, 32, 32));
    generator.setTitle(appId);
    QPainter p;
    ok &= p.begin(&generator);
    p.setRenderHint(QPainter::Antialiasing);
    drawProduct(p);
    ok &= p.end();
#endif
    return ok;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 3 && argc != 5) {
        std::fprintf(stderr, "usage: kt_icongen DATA_DIR PNG_DIR [THEME_DIR APP_ID]\n");
        return 2;
    }
    const QString dataDir = QString::fromLocal8Bit(argv[1]);
    const QString pngDir = QString::fromLocal8Bit(argv[2]);
    const struct
    {
        const char* name;
        Drawing draw;
    } icons[] = {
        {"KlvTarn.ir", drawProduct}, {"Radur.ir", drawMail}, {"Busy.ir", drawBusy},
        {"Idle.ir", drawIdle},       {"Tod.ir", drawTip},
    };
    bool ok = true;
    for (const auto& icon : icons)
        ok &=
            writeFile(dataDir + QLatin1Char('/') + QLatin1String(icon.name), iconFile(render(icon.draw, 32)));
    for (int size : {16, 24, 32, 48})
        ok &= savePng(render(drawProduct, size), pngDir + QStringLiteral("/app-%1.png").arg(size));
    if (argc == 5)
        ok &= writeThemeIcons(QString::fromLocal8Bit(argv[3]), QString::fromLocal8Bit(argv[4]));
    return ok ? 0 : 1;
}
