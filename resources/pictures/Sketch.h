#pragma once

// A sheet for a two-colour line drawing: a white raster with a painter that
// draws in pure black, 4 px wide, without antialiasing.

#include <QImage>
#include <QPainter>
#include <QPointF>

class Sketch
{
public:
    Sketch(int width, int height);

    QPainter &painter() { return m_painter; }

    // A filled black disc: eyes, hubs, knobs.
    void dot(QPointF centre, double radius);

    // Ends the painting and hands over the picture.
    QImage image();

private:
    QImage m_image;
    QPainter m_painter;
};
