#pragma once

// Where an installed program finds what it shares between users, and how a
// user's data folder gets what the program works in. A program run from its
// build folder has no shared folder: it works in the folder it was started in.

#include <QString>

namespace InstalledLayout {

// <binary folder>/../share/kalvestrin when it holds the help file; empty
// otherwise (a build folder).
QString shareFolder(const QString &binaryFolder);

// The data folder of an installed program: $KALVESTRIN_DATA, else ~/Kalvestrin.
QString userDataFolder();

// Gives `dataFolder` what it lacks of: the demo kit (its design pointed at the
// copies), the help file and an empty results database. A file that is
// there already is never overwritten. Throws Failure.
void prepareDataFolder(const QString &shareFolder, const QString &dataFolder);

} // namespace InstalledLayout
