// Writes the program's binary resources into the folder given:
// BACKGROUND.bmp, ID_DA.wav and ID_NE.wav.

#include "resources/pictures/Drawings.h"
#include "resources/sounds/Sounds.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

static bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: kalvestrin-resgen OUTDIR\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(dir.path());
    // Qt writes 32-bit rasters as 24-bit uncompressed bitmaps.
    const bool ok = Drawings::background().save(dir.filePath(QStringLiteral("BACKGROUND.bmp")), "BMP") &&
                    writeBytes(dir.filePath(QStringLiteral("ID_DA.wav")), Sounds::correctChime()) &&
                    writeBytes(dir.filePath(QStringLiteral("ID_NE.wav")), Sounds::wrongBuzz());
    if (!ok) {
        std::fprintf(stderr, "kalvestrin-resgen: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
