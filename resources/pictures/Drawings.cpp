#include "Drawings.h"

#include <QPainter>

namespace Drawings {

QList<Stimulus> stimuli()
{
    return {};
}

QImage background()
{
    QImage image(560, 560, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace Drawings
