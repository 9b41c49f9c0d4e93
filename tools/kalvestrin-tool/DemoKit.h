#pragma once

// The demo kit: our own stimulus pictures and a design file for them, written
// into a folder so a fresh installation has a test ready to run.

#include <QString>

namespace DemoKit {

inline const QString DesignFileName = QStringLiteral("primjer.txt");

// Writes the pictures and DesignFileName into dir (created when missing).
// A file already there is never overwritten. Throws Failure.
// Returns the number of files written.
int write(const QString &dir);

} // namespace DemoKit
