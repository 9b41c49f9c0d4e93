// Draws the pictures of the help pages into the folder given: one small line
// drawing masked by the test's own masking, at levels 8, 4, 2 and 1
// (razina8.png ... razina1.png), with white masks as in a new design.

#include "session/MaskStimulus.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

constexpr int Side = 120;

// A house with a chimney, a door, a window and a tree beside it.
QImage drawing()
{
    QImage image(Side, Side, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::black, 4, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);

    p.drawRect(18, 56, 56, 46); // walls
    QPainterPath roof;
    roof.moveTo(10, 58);
    roof.lineTo(46, 22);
    roof.lineTo(82, 58);
    p.drawPath(roof);
    p.drawRect(60, 26, 9, 18);             // chimney
    p.fillRect(37, 76, 15, 26, Qt::black); // door
    p.drawRect(24, 64, 9, 9);              // window
    p.drawRect(58, 64, 9, 9);

    p.drawLine(98, 102, 98, 72); // tree
    p.setBrush(Qt::black);
    p.drawEllipse(QPoint(98, 62), 13, 16);
    p.drawLine(4, 104, 116, 104); // ground
    return image;
}

QImage masked(const QImage &picture, int level)
{
    QImage out = MaskStimulus(picture, level, White, false).image;
    // A thin frame so that a white mask on a white page still shows its extent.
    QPainter p(&out);
    p.setPen(QColor(150, 150, 150));
    p.drawRect(0, 0, out.width() - 1, out.height() - 1);
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: kalvestrin-helppictures OUTDIR\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(dir.path());
    const QImage picture = drawing();
    for (const int level : {8, 4, 2, 1}) {
        const QString path = dir.filePath(QStringLiteral("razina%1.png").arg(level));
        if (!masked(picture, level).save(path, "PNG")) {
            std::fprintf(stderr, "kalvestrin-helppictures: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
