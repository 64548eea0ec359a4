#include "Artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <functional>

namespace kt {
namespace {

enum class Glyph { Add, Remove, Up, Down, Pack, Options, Help };

// Every glyph is drawn on a 24 x 24 grid and scaled.
struct Pen
{
    QColor fill;
    QColor light;
    QColor outline;
};

QBrush brushFor(const Pen& p, bool depth, const QRectF& r)
{
    if (!depth)
        return p.fill;
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, p.light);
    g.setColorAt(1, p.fill);
    return g;
}

void drawDocument(QPainter& g, bool depth)
{
    QPainterPath page;
    page.moveTo(4, 2);
    page.lineTo(13, 2);
    page.lineTo(18, 7);
    page.lineTo(18, 21);
    page.lineTo(4, 21);
    page.closeSubpath();
    const Pen paper{QColor(235, 235, 228), Qt::white, QColor(70, 70, 70)};
    g.setPen(QPen(paper.outline, 1));
    g.setBrush(brushFor(paper, depth, page.boundingRect()));
    g.drawPath(page);
    g.drawLine(QPointF(13, 2), QPointF(13, 7));
    g.drawLine(QPointF(13, 7), QPointF(18, 7));
    g.setPen(QPen(QColor(150, 150, 150), 1));
    for (int y = 10; y <= 17; y += 3)
        g.drawLine(QPointF(7, y), QPointF(14, y));
}

void drawBadge(QPainter& g, bool depth, const Pen& p, bool plus)
{
    const QRectF disc(11, 11, 12, 12);
    g.setPen(QPen(p.outline, 1));
    g.setBrush(brushFor(p, depth, disc));
    g.drawEllipse(disc);
    g.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
    g.drawLine(QPointF(14, 17), QPointF(20, 17));
    if (plus)
        g.drawLine(QPointF(17, 14), QPointF(17, 20));
}

void drawArrow(QPainter& g, bool depth, bool up)
{
    QPainterPath a;
    a.moveTo(12, 2);
    a.lineTo(22, 12);
    a.lineTo(16, 12);
    a.lineTo(16, 22);
    a.lineTo(8, 22);
    a.lineTo(8, 12);
    a.lineTo(2, 12);
    a.closeSubpath();
    if (!up)
        a = QTransform(1, 0, 0, -1, 0, 24).map(a);
    const Pen blue{QColor(30, 90, 200), QColor(120, 180, 255), QColor(10, 40, 110)};
    g.setPen(QPen(blue.outline, 1));
    g.setBrush(brushFor(blue, depth, a.boundingRect()));
    g.drawPath(a);
}

void drawPack(QPainter& g, bool depth)
{
    // Two film strips feeding one box.
    const Pen film{QColor(60, 60, 60), QColor(120, 120, 120), Qt::black};
    for (int i = 0; i < 2; ++i) {
        const QRectF strip(2 + i * 11, 1, 9, 9);
        g.setPen(QPen(film.outline, 1));
        g.setBrush(brushFor(film, depth, strip));
        g.drawRect(strip);
        g.setPen(Qt::NoPen);
        g.setBrush(QColor(250, 250, 250));
        for (int k = 0; k < 3; ++k) {
            g.drawRect(QRectF(strip.left() + 1, strip.top() + 1 + k * 3, 1.5, 1.5));
            g.drawRect(QRectF(strip.right() - 2.5, strip.top() + 1 + k * 3, 1.5, 1.5));
        }
    }
    const Pen box{QColor(190, 130, 50), QColor(245, 200, 120), QColor(110, 70, 20)};
    const QRectF body(3, 12, 18, 10);
    g.setPen(QPen(box.outline, 1));
    g.setBrush(brushFor(box, depth, body));
    g.drawRect(body);
    g.drawLine(QPointF(3, 15), QPointF(21, 15));
    g.setPen(QPen(QColor(200, 30, 30), 2));
    g.drawLine(QPointF(12, 12), QPointF(12, 22));
}

void drawGear(QPainter& g, bool depth)
{
    QPainterPath gear;
    const QPointF c(12, 12);
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const double a0 = (i * M_PI) / teeth;
        const double a1 = ((i + 1) * M_PI) / teeth;
        const double r = (i % 2 == 0) ? 10.5 : 7.5;
        const QPointF p0 = c + QPointF(std::cos(a0) * r, std::sin(a0) * r);
        const QPointF p1 = c + QPointF(std::cos(a1) * r, std::sin(a1) * r);
        if (i == 0)
            gear.moveTo(p0);
        else
            gear.lineTo(p0);
        gear.lineTo(p1);
    }
    gear.closeSubpath();
    gear.addEllipse(c, 3.2, 3.2);
    gear.setFillRule(Qt::OddEvenFill);
    const Pen steel{QColor(110, 115, 125), QColor(210, 215, 225), QColor(40, 40, 50)};
    g.setPen(QPen(steel.outline, 1));
    g.setBrush(brushFor(steel, depth, gear.boundingRect()));
    g.drawPath(gear);
}

void drawHelp(QPainter& g, bool depth)
{
    const QRectF disc(2, 2, 20, 20);
    const Pen blue{QColor(25, 95, 190), QColor(130, 190, 255), QColor(10, 40, 110)};
    g.setPen(QPen(blue.outline, 1));
    g.setBrush(brushFor(blue, depth, disc));
    g.drawEllipse(disc);
    QFont f(QStringLiteral("Sans Serif"));
    f.setPixelSize(16);
    f.setBold(true);
    g.setFont(f);
    g.setPen(Qt::white);
    g.drawText(disc, Qt::AlignCenter, QStringLiteral("?"));
}

// A square picture of `size` logical pixels, drawn with `dpr` device pixels per
// logical pixel so it stays sharp on a scaled screen.
QPixmap render(double size, double dpr, const std::function<void(QPainter&)>& draw)
{
    const int device = qMax(1, int(std::lround(size * dpr)));
    QPixmap pm(device, device);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter g(&pm);
    g.setRenderHint(QPainter::Antialiasing);
    g.setRenderHint(QPainter::TextAntialiasing);
    g.scale(device / dpr / 24.0, device / dpr / 24.0);
    draw(g);
    return pm;
}

} // namespace

QPixmap toolbarImage(int index, int size, double dpr)
{
    if (index < 0 || index >= kToolbarImageCount)
        return {};
    const bool depth = index < 7;
    const auto glyph = Glyph(index % 7);
    return render(size, dpr, [&](QPainter& g) {
        switch (glyph) {
        case Glyph::Add:
            drawDocument(g, depth);
            drawBadge(g, depth, {QColor(30, 150, 40), QColor(130, 220, 120), QColor(10, 80, 20)}, true);
            break;
        case Glyph::Remove:
            drawDocument(g, depth);
            drawBadge(g, depth, {QColor(200, 30, 30), QColor(255, 140, 130), QColor(110, 10, 10)}, false);
            break;
        case Glyph::Up:
            drawArrow(g, depth, true);
            break;
        case Glyph::Down:
            drawArrow(g, depth, false);
            break;
        case Glyph::Pack:
            drawPack(g, depth);
            break;
        case Glyph::Options:
            drawGear(g, depth);
            break;
        case Glyph::Help:
            drawHelp(g, depth);
            break;
        }
    });
}

QPixmap statusLogo(bool busy, int pixels, double dpr)
{
    return render(pixels / dpr, dpr, [&](QPainter& g) {
        const QRectF disc(1.5, 1.5, 21, 21);
        QRadialGradient light(QPointF(9, 8), 14);
        light.setColorAt(0, busy ? QColor(255, 230, 150) : QColor(190, 255, 190));
        light.setColorAt(1, busy ? QColor(215, 130, 0) : QColor(20, 150, 40));
        g.setPen(QPen(QColor(60, 60, 60), 1.2));
        g.setBrush(light);
        g.drawEllipse(disc);
        g.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        g.setBrush(Qt::NoBrush);
        if (busy) {
            // hourglass
            QPainterPath h;
            h.moveTo(8, 6);
            h.lineTo(16, 6);
            h.lineTo(8, 18);
            h.lineTo(16, 18);
            h.closeSubpath();
            g.drawPath(h);
        } else {
            // tick
            g.drawPolyline(QPolygonF({QPointF(7, 12.5), QPointF(10.5, 16), QPointF(17, 8)}));
        }
    });
}

QPixmap moveArrow(bool up, int width, int height)
{
    QPixmap pm(qMax(1, width), qMax(1, height));
    pm.fill(Qt::transparent);
    QPainter g(&pm);
    g.setRenderHint(QPainter::Antialiasing);
    const double w = width, h = height;
    const double head = qMin(w, h) * 0.9;
    QPolygonF tri = up ? QPolygonF({QPointF(w / 2, (h - head) / 2), QPointF(w * 0.95, (h + head) / 2),
                                    QPointF(w * 0.05, (h + head) / 2)})
                       : QPolygonF({QPointF(w / 2, (h + head) / 2), QPointF(w * 0.95, (h - head) / 2),
                                    QPointF(w * 0.05, (h - head) / 2)});
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(40, 40, 40));
    g.drawPolygon(tri);
    return pm;
}

} // namespace kt
