#include "results/ui/PrintChart.h"

#include "results/CustomPrint.h"
#include "results/ui/PrintTarget.h"

#include <QChart>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QPainter>

void PrintChart(QChart &chart, PrintJob &job)
{
    QPainter &painter = job.painter();
    const QRect target = CustomPrint::chartRect(painter.device()->width(), painter.device()->height());

    // Laid out at screen scale so titles and labels keep their proportion to
    // the plot; the printer scales the whole.
    const QSizeF old = chart.size();
    const qreal logicalWidth = old.width() > 100 ? old.width() : 1000;
    const QSizeF logical(logicalWidth, logicalWidth * target.height() / target.width());
    chart.resize(logical);
    chart.layout()->activate();
    const QRectF source(chart.scenePos(), logical);
    // A chart is drawn by its scene; one outside any view gets a scene for the moment.
    QGraphicsScene own;
    QGraphicsScene *scene = chart.scene();
    if (!scene) {
        own.addItem(&chart);
        scene = &own;
    }
    scene->render(&painter, QRectF(target), source, Qt::IgnoreAspectRatio);
    if (scene == &own)
        own.removeItem(&chart);
    chart.resize(old);
}
