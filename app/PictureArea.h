#pragma once

// The main window's picture area: a canvas measured in device pixels and
// shown one canvas pixel per device pixel at any screen scaling. Masked
// pictures are a lattice of single pixels; any resampling would smear it.

#include <QImage>
#include <QWidget>

class PictureArea : public QWidget
{
    Q_OBJECT
public:
    // A white canvas of `pixels` device pixels.
    PictureArea(QSize pixels, QWidget *parent = nullptr);

    QImage &canvas() { return m_canvas; }
    const QImage &canvas() const { return m_canvas; }

    // Resizes the widget so the whole canvas shows at the current device
    // pixel ratio; call again when the window moves to another screen.
    void fitToDevicePixelRatio();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_canvas;
};
