#include "common/Bitmap.h"

#include "common/Failure.h"
#include "common/RleBitmap.h"
#include "common/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QtEndian>

#include <cstdlib>

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

quint32 le32(const QByteArray &b, int at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

quint16 le16(const QByteArray &b, int at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

// Qt's bitmap reader paints rows missing from a cut-off file black and
// reports success, which would be scored as a whole picture. So a bitmap is
// measured against its own header first: the pixel data must reach as far as
// the rows and their stride (or, compressed, the stated image size) say.
// Returns why the file is short, or an empty text. Files not starting with
// "BM" are left to the reader: another picture format under a .bmp name
// still loads.
QString truncatedBitmap(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const qint64 fileSize = file.size();
    const QByteArray head = file.read(54);
    if (!head.startsWith("BM"))
        return {};
    const QString shortFile = QStringLiteral("datoteka je kraća nego što njezino zaglavlje navodi (%1 bajtova).");
    if (head.size() < 18)
        return shortFile.arg(fileSize);
    const qint64 dataOffset = le32(head, 10);
    const quint32 headerSize = le32(head, 14);
    qint64 width = 0, height = 0, bitsPerPixel = 0, compression = 0, imageSize = 0;
    if (headerSize == 12 && head.size() >= 26) {
        width = le16(head, 18);
        height = le16(head, 20);
        bitsPerPixel = le16(head, 24);
    } else if (headerSize >= 40 && head.size() >= 54) {
        width = qint32(le32(head, 18));
        height = std::abs(qint64(qint32(le32(head, 22)))); // negative: rows stored top-down
        bitsPerPixel = le16(head, 28);
        compression = le32(head, 30);
        imageSize = le32(head, 34);
    } else if (headerSize == 12 || headerSize >= 40) {
        return shortFile.arg(fileSize);
    } else {
        return {}; // a header the reader will refuse on its own
    }
    if (width <= 0 || height <= 0 || bitsPerPixel <= 0)
        return {};

    const qint64 available = fileSize - dataOffset;
    bool complete = available >= 0;
    constexpr qint64 Rgb = 0, BitFields = 3, AlphaBitFields = 6;
    if (complete && (compression == Rgb || compression == BitFields || compression == AlphaBitFields)) {
        // Rows are padded to four bytes; the last row may come without its padding.
        const qint64 rowBytes = (width * bitsPerPixel + 7) / 8;
        const qint64 stride = (width * bitsPerPixel + 31) / 32 * 4;
        complete = available >= rowBytes && (height - 1) <= (available - rowBytes) / stride;
    } else if (complete) {
        complete = available >= imageSize;
    }
    return complete ? QString() : shortFile.arg(fileSize);
}

// A run-length compressed bitmap, decoded by our own reader; a null image,
// and no reason, for every other file.
QImage readRleBitmap(const QString &path, QString &reason)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.peek(54);
    if (head.size() < 54 || !head.startsWith("BM") || le32(head, 14) < 40)
        return {};
    const quint32 compression = le32(head, 30);
    if (compression != RleBitmap::Rle8 && compression != RleBitmap::Rle4)
        return {};
    try {
        return RleBitmap::decodeFile(file.readAll());
    } catch (const Failure &f) {
        reason = f.text();
        return {};
    }
}

} // namespace

QImage loadPicture(const QString &path)
{
    QString reason = truncatedBitmap(path);
    QImage image;
    if (reason.isEmpty())
        image = readRleBitmap(path, reason);
    if (reason.isEmpty() && image.isNull()) {
        QImageReader reader(path);
        reader.setAutoTransform(false);
        image = reader.read();
        if (image.isNull())
            reason = reader.errorString();
    }
    if (!reason.isEmpty())
        throw Failure(
            QStringLiteral("Sliku \"%1\" nije moguće učitati: %2").arg(QDir::toNativeSeparators(path), reason));
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
