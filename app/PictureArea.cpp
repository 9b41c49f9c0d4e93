#include "app/PictureArea.h"

#include <QPainter>

#include <cmath>

PictureArea::PictureArea(QSize pixels, QWidget *parent)
    : QWidget(parent)
    , m_canvas(pixels, QImage::Format_RGB32)
{
    m_canvas.fill(Qt::white);
    fitToDevicePixelRatio();
}

void PictureArea::fitToDevicePixelRatio()
{
    const qreal ratio = devicePixelRatioF();
    auto logical = [ratio](int device) {
        // At a fractional ratio the canvas may start up to one device pixel
        // in (see paintEvent), so leave room for that pixel.
        const bool whole = ratio == std::floor(ratio);
        return int(std::ceil((device + (whole ? 0 : 1)) / ratio));
    };
    resize(logical(m_canvas.width()), logical(m_canvas.height()));
}

void PictureArea::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const qreal ratio = devicePixelRatioF();
    painter.fillRect(rect(), Qt::white);

    QImage shown = m_canvas; // shares the pixels
    shown.setDevicePixelRatio(ratio);
    // Start the canvas on a whole device pixel of the window, which a
    // widget at a whole logical position misses at fractional ratios.
    const QPointF origin = QPointF(mapTo(window(), QPoint(0, 0))) * ratio;
    const QPointF shift((std::ceil(origin.x()) - origin.x()) / ratio, (std::ceil(origin.y()) - origin.y()) / ratio);
    painter.drawImage(shift, shown);
}
