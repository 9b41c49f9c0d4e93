#include "tests/support/TestPictures.h"

QImage filledPicture(int w, int h, Colour colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(toQRgb(colour));
    return image;
}

void setPixel(QImage &picture, int x, int y, Colour colour)
{
    picture.setPixel(x, y, toQRgb(colour));
}
