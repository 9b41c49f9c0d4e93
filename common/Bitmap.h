#pragma once

// Windows bitmaps: stimulus pictures are read through Qt's reader into a
// 32-bit raster; the pictures and frames we write ourselves are plain 24-bit
// uncompressed bitmaps, which every viewer and the original platform read.

#include <QByteArray>
#include <QImage>
#include <QString>

// Reads a picture file into Format_RGB32; throws Failure when it cannot be read.
QImage loadPicture(const QString &path);

QByteArray encodeBmp24(const QImage &image);

// Writes the image as a 24-bit bitmap, whole or not at all; throws Failure.
void saveBmp24(const QImage &image, const QString &path);
