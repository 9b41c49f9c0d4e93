#pragma once

// Runs chmlib over a help file in a child process and collects what it
// finds: every ordinary file inside with its bytes, in the file's order.
// Nothing when the child fails, crashes, runs too long or sends more than
// the limit; the calling process never runs chmlib itself.

#include <QByteArray>
#include <QList>
#include <QPair>

#include <optional>

namespace ChmExtract {

using Objects = QList<QPair<QByteArray, QByteArray>>; // path, bytes

std::optional<Objects> extract(const QByteArray &fileName, qint64 maxTotalSize, int timeLimitMs);

} // namespace ChmExtract
