#pragma once

// The tables beside Data that keep how every stored test ran: Sessions, one
// row per test named by its UUID, and Presentations, one row per picture
// shown. Data itself stays as it always was. A database made before these
// tables existed gets them the first time the program opens it; what a file
// holds is told by PRAGMA user_version (0: Data alone).

#include <QString>

class ResultsDatabase;

namespace SessionSchema {

// The user_version of a database that holds Sessions and Presentations.
constexpr int Version = 1;

// CREATE TABLE Sessions and Presentations, and the user_version that says so.
const QString &createTablesSql();

// Adds the tables to an open results database of an earlier version, in one
// transaction; does nothing (and takes no write lock) when they are there,
// when the file is of a later version or when it has no table Data. Throws
// Failure.
void upgrade(ResultsDatabase &con);

} // namespace SessionSchema
