#include "resources/pictures/Sketch.h"

#include <QPen>

Sketch::Sketch(int width, int height)
    : m_image(width, height, QImage::Format_RGB32)
{
    m_image.fill(Qt::white);
    m_painter.begin(&m_image);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setPen(QPen(Qt::black, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    m_painter.setBrush(Qt::NoBrush);
}

void Sketch::dot(QPointF centre, double radius)
{
    m_painter.save();
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(Qt::black);
    m_painter.drawEllipse(centre, radius, radius);
    m_painter.restore();
}

QImage Sketch::image()
{
    if (m_painter.isActive())
        m_painter.end();
    return m_image;
}
