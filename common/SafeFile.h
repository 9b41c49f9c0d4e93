#pragma once

// Files the program writes are written whole or not at all: the bytes go to a
// temporary file beside the target, which replaces the target only once
// everything is on disk. A failure leaves the old file untouched and throws
// Failure with the system's reason.

#include <QByteArray>
#include <QString>

void writeFileAtomically(const QString &path, const QByteArray &bytes);

// Reads a whole file; throws Failure when it cannot be opened or read.
QByteArray readWholeFile(const QString &path);
