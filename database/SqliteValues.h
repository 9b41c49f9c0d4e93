#pragma once

// Moving values between QVariant and SQLite: every value a statement uses is
// bound, never spliced into its text.

#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace SqliteValues {

// Binds `value` to parameter `index` (1-based): an invalid or null variant as
// NULL, bool as 0/1, integers as INTEGER, floating point as REAL, byte
// arrays as BLOB, anything else as its text. Throws Failure.
void bind(sqlite3_stmt *statement, int index, const QVariant &value);

// The value of result column `column` (0-based): NULL as an invalid QVariant,
// INTEGER as qlonglong, REAL as double, TEXT as QString, BLOB as QByteArray.
QVariant column(sqlite3_stmt *statement, int column);

// SQLite's message for the last failure on `db`.
QString errorText(sqlite3 *db);

// "Data" as "\"Data\"": an identifier quoted, inner quotes doubled.
QString quoteIdentifier(const QString &name);

} // namespace SqliteValues
