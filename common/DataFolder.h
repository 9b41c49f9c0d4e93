#pragma once

// The data folder: the working directory the program starts in, where it
// finds its database and help file and where its choosers start. The program
// takes it once at start-up into the services its windows receive, so a
// later change of the process's directory moves nothing.

#include <QString>

namespace DataFolder {

QString current();

} // namespace DataFolder
