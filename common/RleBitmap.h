#pragma once

// Run-length compressed Windows bitmaps (RLE8 and RLE4), decoded by us rather
// than by Qt's reader, which paints the rows of a cut-off file black and
// reports success. Every run is checked against the picture's bounds, and
// data that ends before its last row is refused: such a picture would be
// scored as whole.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace RleBitmap {

constexpr quint32 Rle8 = 1;
constexpr quint32 Rle4 = 2;

// The picture as Format_RGB32; throws Failure with the reason (without the
// file's name) when the data is cut off, damaged or too large.
// bitsPerPixel is 8 for Rle8 and 4 for Rle4; palette holds its colours.
QImage decode(const QByteArray &data, int width, int height, int bitsPerPixel, const QList<QRgb> &palette);

// The whole file, from its "BM" header on; throws Failure as above.
QImage decodeFile(const QByteArray &file);

} // namespace RleBitmap
