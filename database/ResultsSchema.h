#pragma once

// The table of stored tests, `Data`, and the making of an empty results
// database. The program itself never creates the database; the tool does.

#include <QString>
#include <QStringList>

namespace ResultsSchema {

// CREATE TABLE Data: one row per test. The CHECKs refuse from any writer a
// value the column cannot take (SQLite would otherwise keep "abc" in Age);
// AUTOINCREMENT keeps a deleted last row's ID from coming back.
const QString &createTableSql();

// The columns of Data, in table order: what opening requires of a file.
const QStringList &columnNames();

// Writes an empty results database (Data and the tables of SessionSchema,
// WAL set) at `path`: built under a temporary name beside it and renamed
// into place. An existing file is refused and left untouched. Throws Failure.
void createDatabase(const QString &path);

} // namespace ResultsSchema
