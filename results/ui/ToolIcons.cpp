#include "results/ui/ToolIcons.h"

#include <QPainter>
#include <QPixmap>

QIcon toolIcon(int index)
{
    if (index < 0 || index >= 8)
        return {};
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor::fromHsv(index * 45, 160, 200));
    painter.setPen(Qt::darkGray);
    painter.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 3, 3);
    painter.setPen(Qt::black);
    painter.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QString::number(index + 1));
    return QIcon(pixmap);
}
