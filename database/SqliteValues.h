#pragma once

// What SQLite says, in the program's words, and identifiers for statements
// of our own making (every value a statement uses is bound, never spliced
// into its text).

#include "session/SessionResult.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

struct sqlite3;

namespace SqliteValues {

// What went wrong on `db`, said the program's way and naming its file, with
// SQLite's own text after it: "Baza podataka "/x/Kalvestrin.mdb" je
// zauzeta: ... (SQLite: database is locked)".
QString errorText(sqlite3 *db);
// The same for a return code of a call that left no message on a handle
// (opening), for the file at `path`.
QString errorText(int code, const QString &path, const QString &sqliteText);

// "Data" as "\"Data\"": an identifier quoted, inner quotes doubled.
QString quoteIdentifier(const QString &name);

// A moment as a column holds it: ISO 8601 in UTC with milliseconds; NULL when unknown.
QVariant utcValue(const QDateTime &time);
QDateTime utcOf(const QVariant &value);

// Whether a compositor ran, as a column holds it: NULL unknown, 0 no, 1 yes.
QVariant compositorValue(SessionInfo::Compositor compositor);
SessionInfo::Compositor compositorOf(const QVariant &value);

} // namespace SqliteValues
