#pragma once

// The compound file (structured storage, version 3 with 512-byte sectors) in
// which Excel 5.0 and later keep a workbook: a root storage with one stream.

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QString>

namespace CompoundFile {

// The smallest stream kept in ordinary sectors; shorter ones would belong in
// the mini stream, so write() pads a stream up to this size.
constexpr qsizetype MiniStreamCutoff = 4096;

// Writes a compound file whose root holds one stream under `streamName`, the
// concatenation of `parts` (given in pieces so a large stream is never copied
// whole). Throws Failure when the device refuses the bytes.
void write(QIODevice &out, const QString &streamName, const QList<QByteArray> &parts);

} // namespace CompoundFile
