// Writes the program's icon in the sizes of the hicolor theme:
// OUTDIR/NxN/apps/kalvestrin.png.

#include "resources/pictures/Drawings.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: kalvestrin-icongen OUTDIR\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
        if (!QDir().mkpath(dir) || !Drawings::icon(size).save(dir + QStringLiteral("/kalvestrin.png"), "PNG")) {
            std::fprintf(stderr, "kalvestrin-icongen: cannot write into %s\n", qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
