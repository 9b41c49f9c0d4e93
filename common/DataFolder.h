#pragma once

// The data folder: the working directory the program started in, where it
// finds its database and help file and where its choosers start. Captured
// once, so a chooser that changes the process's directory moves nothing.

#include <QString>

namespace DataFolder {

// Call once at start-up, before anything may change the working directory.
void capture();
QString path();

} // namespace DataFolder
