#include "common/Bitmap.h"

#include "common/Failure.h"
#include "common/SafeFile.h"

#include <QDir>
#include <QImageReader>

namespace {

void putLe16(char *p, quint16 v)
{
    p[0] = char(v & 0xFF);
    p[1] = char(v >> 8);
}

void putLe32(char *p, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = char((v >> (8 * i)) & 0xFF);
}

} // namespace

QImage loadPicture(const QString &path)
{
    QImageReader reader(path);
    reader.setAutoTransform(false);
    QImage image = reader.read();
    if (image.isNull()) {
        throw Failure(QStringLiteral("Sliku \"%1\" nije moguće učitati: %2")
                          .arg(QDir::toNativeSeparators(path), reader.errorString()));
    }
    if (image.format() != QImage::Format_RGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    return image;
}

QByteArray encodeBmp24(const QImage &source)
{
    const QImage image =
        source.format() == QImage::Format_RGB32 ? source : source.convertToFormat(QImage::Format_RGB32);
    const int w = image.width();
    const int h = image.height();
    const int rowBytes = ((w * 3) + 3) & ~3;
    const quint32 pixelBytes = quint32(rowBytes) * quint32(h);
    constexpr int HeaderSize = 14 + 40;

    QByteArray out(HeaderSize + int(pixelBytes), '\0');
    char *p = out.data();
    p[0] = 'B';
    p[1] = 'M';
    putLe32(p + 2, HeaderSize + pixelBytes);
    putLe32(p + 10, HeaderSize);
    putLe32(p + 14, 40);
    putLe32(p + 18, quint32(w));
    putLe32(p + 22, quint32(h));
    putLe16(p + 26, 1);
    putLe16(p + 28, 24);
    putLe32(p + 34, pixelBytes);
    putLe32(p + 38, 2835); // 72 dpi
    putLe32(p + 42, 2835);

    // Rows are stored bottom-up, each pixel as blue, green, red.
    for (int y = 0; y < h; ++y) {
        const auto *src = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        char *dst = p + HeaderSize + std::ptrdiff_t(h - 1 - y) * rowBytes;
        for (int x = 0; x < w; ++x) {
            dst[3 * x] = char(qBlue(src[x]));
            dst[3 * x + 1] = char(qGreen(src[x]));
            dst[3 * x + 2] = char(qRed(src[x]));
        }
    }
    return out;
}

void saveBmp24(const QImage &image, const QString &path)
{
    writeFileAtomically(path, encodeBmp24(image));
}
