#include "resources/pictures/Drawings.h"

#include <QPainter>
#include <QPainterPath>

namespace Drawings {

// A house seen through the test's mask: the picture shows only on a grid of
// points, the rest is the mask's colour, on the main window's violet.
QImage icon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 64.0;
    p.scale(s, s);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(173, 143, 252));
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);

    QPainterPath house;
    house.moveTo(12, 30);
    house.lineTo(32, 12);
    house.lineTo(52, 30);
    house.lineTo(47, 30);
    house.lineTo(47, 52);
    house.lineTo(17, 52);
    house.lineTo(17, 30);
    house.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(house);

    // The part of the picture that is on screen: every fourth point.
    p.setClipPath(house);
    p.setBrush(QColor(20, 20, 60));
    const qreal step = size >= 48 ? 4 : 8;
    for (qreal y = 10; y < 56; y += step)
        for (qreal x = 10; x < 56; x += step)
            p.drawRect(QRectF(x, y, step / 2, step / 2));
    p.setClipping(false);

    p.setPen(QPen(QColor(20, 20, 60), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(house);
    return image;
}

} // namespace Drawings
