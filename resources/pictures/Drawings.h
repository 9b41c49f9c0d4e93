#pragma once

// Our own pictures, drawn with QPainter: simple black-on-white line drawings
// of everyday things used as the stimuli of the demo design, and the start-up
// picture of the main window.

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

namespace Drawings {

struct Stimulus
{
    QString fileName;    // e.g. "kuca.bmp"
    QStringList answers; // accepted answers, Croatian upper case, e.g. "KUĆA"
    QImage image;        // Format_RGB32, black on white, at most 500 x 400
};

// At least twelve recognisable drawings.
QList<Stimulus> stimuli();

// The 560 x 560 start-up picture; it reads well masked at level 4.
QImage background();

// The program's icon, size x size with a transparent corner.
QImage icon(int size);

} // namespace Drawings
