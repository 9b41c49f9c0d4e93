#include "resources/pictures/Drawings.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <numbers>

// The start-up picture: a large open eye on a pale ground. The main window
// shows it masked at level 4, so only one pixel in sixteen survives; every
// feature is therefore a filled shape or a stroke at least 8 px wide, in
// colours that stand apart from each other and from the violet mask.

namespace Drawings {

QImage background()
{
    QImage image(560, 560, QImage::Format_RGB32);
    image.fill(QColor(255, 250, 228));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);

    const QPointF centre(280, 300);

    // Rays of light around the eye.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 140, 0));
    for (int i = 0; i < 16; ++i) {
        const double a = i * std::numbers::pi / 8;
        const double w = std::numbers::pi / 28;
        const QPointF inner1 = centre + QPointF(std::cos(a - w) * 150, std::sin(a - w) * 150);
        const QPointF inner2 = centre + QPointF(std::cos(a + w) * 150, std::sin(a + w) * 150);
        const QPointF outer = centre + QPointF(std::cos(a) * 300, std::sin(a) * 300);
        p.drawPolygon(QPolygonF({inner1, outer, inner2}));
    }

    // The almond of the eye.
    QPainterPath almond;
    almond.moveTo(centre + QPointF(-230, 0));
    almond.cubicTo(centre + QPointF(-140, -150), centre + QPointF(140, -150), centre + QPointF(230, 0));
    almond.cubicTo(centre + QPointF(140, 150), centre + QPointF(-140, 150), centre + QPointF(-230, 0));
    p.setBrush(Qt::white);
    p.drawPath(almond);

    p.save();
    p.setClipPath(almond);
    QRadialGradient iris(centre, 95);
    iris.setColorAt(0.0, QColor(90, 220, 80));
    iris.setColorAt(0.6, QColor(20, 160, 70));
    iris.setColorAt(1.0, QColor(0, 90, 50));
    p.setBrush(iris);
    p.setPen(QPen(QColor(0, 50, 30), 10));
    p.drawEllipse(centre, 95, 95);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(centre, 42, 42);
    p.setBrush(Qt::white);
    p.drawEllipse(centre + QPointF(-40, -40), 20, 20);
    p.restore();

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 16, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(almond);

    // Lashes along the upper lid.
    p.setPen(QPen(Qt::black, 12, Qt::SolidLine, Qt::RoundCap));
    for (int i = 1; i < 8; ++i) {
        const double t = i / 8.0;
        const double u = 1 - t;
        // A point on the upper lid's curve and its outward normal.
        const QPointF a = centre + QPointF(-230, 0), b = centre + QPointF(-140, -150);
        const QPointF c = centre + QPointF(140, -150), d = centre + QPointF(230, 0);
        const QPointF on = u * u * u * a + 3 * u * u * t * b + 3 * u * t * t * c + t * t * t * d;
        const QPointF tangent = 3 * u * u * (b - a) + 6 * u * t * (c - b) + 3 * t * t * (d - c);
        const double len = std::hypot(tangent.x(), tangent.y());
        const QPointF normal(tangent.y() / len, -tangent.x() / len);
        p.drawLine(on, on + normal * 48);
    }
    return image;
}

} // namespace Drawings
