#include "common/RleBitmap.h"

#include "common/Failure.h"

#include <QtEndian>

namespace {

constexpr qint64 MaxPixels = 64 * 1024 * 1024; // Qt's own reader stops at 256 MB

QString cutOff()
{
    return QStringLiteral("sažeti podaci slike završavaju prije njezina posljednjeg retka.");
}

QString damaged()
{
    return QStringLiteral("sažeti podaci slike su oštećeni.");
}

// Writes decoded pixels into the picture; rows count from the bottom, as the
// file stores them.
class RunWriter
{
public:
    RunWriter(QImage &image, const QList<QRgb> &palette)
        : m_image(image)
        , m_palette(palette)
    {}

    int x = 0;
    int y = 0;

    void put(int index)
    {
        if (x >= m_image.width() || y >= m_image.height())
            throw Failure(damaged());
        const QRgb colour = index < m_palette.size() ? m_palette[index] : qRgb(0, 0, 0);
        reinterpret_cast<QRgb *>(m_image.scanLine(m_image.height() - 1 - y))[x++] = colour;
    }

private:
    QImage &m_image;
    const QList<QRgb> &m_palette;
};

quint8 at(const QByteArray &data, qsizetype i)
{
    if (i >= data.size())
        throw Failure(cutOff());
    return quint8(data[i]);
}

// One escape (a zero count): end of line, end of picture, a jump, or a run of
// literal pixels. Returns false at the end of the picture.
bool escape(const QByteArray &data, qsizetype &i, RunWriter &out, int bits, const QImage &image)
{
    const int code = at(data, i++);
    if (code == 0) {
        out.x = 0;
        ++out.y;
    } else if (code == 1) {
        return false;
    } else if (code == 2) {
        out.x += at(data, i);
        out.y += at(data, i + 1);
        i += 2;
        if (out.x > image.width() || out.y > image.height())
            throw Failure(damaged());
    } else {
        const qsizetype bytes = bits == 8 ? code : (code + 1) / 2;
        for (int n = 0; n < code; ++n) {
            const quint8 b = at(data, i + (bits == 8 ? n : n / 2));
            out.put(bits == 8 ? b : (n % 2 == 0 ? b >> 4 : b & 0x0F));
        }
        i += bytes + (bytes % 2); // literal runs are padded to two bytes
    }
    return true;
}

} // namespace

namespace RleBitmap {

QImage decode(const QByteArray &data, int width, int height, int bitsPerPixel, const QList<QRgb> &palette)
{
    if (width <= 0 || height <= 0 || qint64(width) * height > MaxPixels || (bitsPerPixel != 8 && bitsPerPixel != 4))
        throw Failure(damaged());
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        throw Failure(damaged());
    // Pixels a jump or an early end of line passes over keep the first colour.
    image.fill(palette.isEmpty() ? qRgb(0, 0, 0) : palette.first());
    RunWriter out(image, palette);
    qsizetype i = 0;
    while (true) {
        if (i >= data.size()) {
            // Without the end mark the data must at least have ended every row.
            if (out.y < height)
                throw Failure(cutOff());
            break;
        }
        const int count = at(data, i++);
        if (count == 0) {
            if (!escape(data, i, out, bitsPerPixel, image))
                break;
            continue;
        }
        const quint8 value = at(data, i++);
        for (int n = 0; n < count; ++n)
            out.put(bitsPerPixel == 8 ? value : (n % 2 == 0 ? value >> 4 : value & 0x0F));
    }
    return image;
}

QImage decodeFile(const QByteArray &file)
{
    if (file.size() < 54)
        throw Failure(cutOff());
    const auto le32 = [&](int at) { return qFromLittleEndian<quint32>(file.constData() + at); };
    const auto le16 = [&](int at) { return qFromLittleEndian<quint16>(file.constData() + at); };
    const quint32 dataOffset = le32(10);
    const quint32 headerSize = le32(14);
    const qint32 width = qint32(le32(18));
    const qint32 height = qint32(le32(22)); // compressed rows are never stored top-down
    const int bits = le16(28);
    if (headerSize < 40 || dataOffset > quint32(file.size()) || (bits != 8 && bits != 4))
        throw Failure(damaged());
    const quint32 used = le32(46);
    const qint64 colours = qMin<qint64>(used == 0 ? (1 << bits) : used, 1 << bits);
    QList<QRgb> palette;
    const qint64 paletteStart = 14 + qint64(headerSize);
    for (qint64 c = 0; c < colours && paletteStart + 4 * c + 3 < dataOffset; ++c) {
        const qint64 p = paletteStart + 4 * c;
        palette.append(qRgb(quint8(file[p + 2]), quint8(file[p + 1]), quint8(file[p])));
    }
    return decode(file.mid(dataOffset), width, height, bits, palette);
}

} // namespace RleBitmap
