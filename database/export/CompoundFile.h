#pragma once

// The compound file (structured storage, version 3 with 512-byte sectors) in
// which Excel 5.0 and later keep a workbook: a root storage with one stream.

#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace CompoundFile {

// The smallest stream kept in ordinary sectors; shorter ones would belong in
// the mini stream, so write() pads a stream up to this size.
constexpr qsizetype MiniStreamCutoff = 4096;

// Writes a compound file whose root holds `stream` under `streamName`.
// Throws Failure when the device refuses the bytes.
void write(QIODevice &out, const QString &streamName, QByteArray stream);

} // namespace CompoundFile
