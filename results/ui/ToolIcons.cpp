#include "results/ui/ToolIcons.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

const QColor Ink(40, 40, 40);
const QColor Paper(250, 250, 250);
const QColor Blue(30, 80, 170);
const QColor Gold(230, 180, 40);

void sheet(QPainter &p)
{
    p.setPen(QPen(Ink, 1));
    p.setBrush(Paper);
    p.drawRect(QRectF(3.5, 1.5, 9, 13));
}

void printer(QPainter &p)
{
    p.setPen(QPen(Ink, 1));
    p.setBrush(QColor(170, 170, 170));
    p.drawRect(QRectF(1.5, 8.5, 13, 5));
    p.setBrush(Paper);
    p.drawRect(QRectF(4.5, 1.5, 7, 8));
    p.setBrush(QColor(60, 200, 60));
    p.drawRect(QRectF(11.5, 10.5, 1, 1));
}

void padlock(QPainter &p, bool open)
{
    p.setPen(QPen(Ink, 1.5));
    p.setBrush(Qt::NoBrush);
    QPainterPath shackle;
    shackle.moveTo(5, 8);
    shackle.lineTo(5, 5);
    shackle.arcTo(QRectF(5, 1.5, 6, 6), 180, -180);
    shackle.lineTo(11, open ? 4.5 : 8);
    p.drawPath(open ? shackle.translated(0, -1.5) : shackle);
    p.setPen(QPen(Ink, 1));
    p.setBrush(Gold);
    p.drawRect(QRectF(3.5, 7.5, 9, 7));
    p.setBrush(Ink);
    p.drawEllipse(QRectF(7, 9.5, 2, 2));
}

void draw(QPainter &p, int index)
{
    p.setRenderHint(QPainter::Antialiasing);
    switch (index) {
    case 0: // save: a diskette
        p.setPen(QPen(Ink, 1));
        p.setBrush(Blue);
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(Paper);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(4.5, 9.5, 7, 5));
        break;
    case 1: // open: a folder
        p.setPen(QPen(Ink, 1));
        p.setBrush(Gold);
        p.drawRect(QRectF(1.5, 3.5, 5, 2));
        p.drawRect(QRectF(1.5, 5.5, 13, 8));
        p.setBrush(QColor(250, 215, 100));
        p.drawPolygon(QPolygonF({{3.5, 7.5}, {15.5, 7.5}, {13.5, 13.5}, {1.5, 13.5}}));
        break;
    case 2: // print the table
        printer(p);
        p.setPen(QPen(Ink, 0.8));
        for (double y : {3.5, 5.5, 7.5})
            p.drawLine(QPointF(5.5, y), QPointF(10.5, y));
        p.drawLine(QPointF(8, 2.5), QPointF(8, 8.5));
        break;
    case 3: { // help
        p.setPen(Qt::NoPen);
        p.setBrush(Blue);
        p.drawEllipse(QRectF(1, 1, 14, 14));
        QFont f = p.font();
        f.setPixelSize(12);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRectF(1, 1, 14, 14), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    case 4: padlock(p, true); break;
    case 5: padlock(p, false); break;
    case 6: // analyses: a magnifier over a sheet
        sheet(p);
        p.setPen(QPen(Blue, 2));
        p.setBrush(QColor(200, 225, 255));
        p.drawEllipse(QRectF(5, 4, 6, 6));
        p.drawLine(QPointF(10.5, 9.5), QPointF(14, 13.5));
        break;
    case 7: // all rows: a grid
        p.setPen(QPen(Ink, 1));
        p.setBrush(Paper);
        p.drawRect(QRectF(1.5, 2.5, 13, 11));
        p.fillRect(QRectF(2, 3, 12, 2), QColor(192, 192, 192));
        for (double y : {5.5, 8.5, 11.5})
            p.drawLine(QPointF(1.5, y), QPointF(14.5, y));
        p.drawLine(QPointF(6.5, 2.5), QPointF(6.5, 13.5));
        break;
    case 8: // print the chart
        printer(p);
        p.setPen(QPen(Blue, 1));
        p.drawPolyline(QPolygonF({{5, 8}, {7, 5}, {9, 6}, {11, 2.5}}));
        break;
    default: break;
    }
}

QPixmap render(int index, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.scale(size / 16.0, size / 16.0);
    draw(p, index);
    return pixmap;
}

} // namespace

QIcon toolIcon(int index)
{
    if (index < 0 || index >= ToolIconCount)
        return {};
    static QHash<int, QIcon> made;
    auto it = made.find(index);
    if (it == made.end()) {
        QIcon icon;
        icon.addPixmap(render(index, 16));
        icon.addPixmap(render(index, 32));
        it = made.insert(index, icon);
    }
    return *it;
}
