#pragma once

// What the program does on the central database, over one PgConnection:
// storing tests sent by a station (idempotent by the test's UUID), checking a
// station's setting, reading Data a page at a time and editing a value
// through the audited path. The group window and the sending both use it.

#include "database/central/OutgoingTest.h"
#include "database/central/PgConnection.h"

#include <QString>

#include <vector>

struct ServerSettings;

namespace CentralStore {

// Stores each test whose UUID the server does not hold yet (its Data row, its
// Sessions row and its Presentations) inside the caller's transaction; a
// test the server has is left as it is. Returns how many were new.
int storeTests(PgConnection &con, const std::vector<OutgoingTest> &tests);

// Opens a connection for `settings` and checks that it reaches a central
// database this program set up. Empty when all is well, else what went
// wrong in plain words ("Provjeri vezu").
QString checkConnection(const ServerSettings &settings);

// The rows of Data after `afterId` in the order of ID, at most `limit` of
// them: ID, Name, Surname, Age, Gender, N, M, V, Items, Field1..Field3 as
// on a station (Gender 0 or 1). The next page starts after the last ID.
std::vector<QVariantList> dataPage(PgConnection &con, qint64 afterId, int limit);
// How many rows Data holds (for a grid's scroll bar).
qint64 dataCount(PgConnection &con);

// Sets `column` of the Data row `id` to `value` (NULL when invalid) through
// kalvestrin_edit, which also writes the audit row naming `station`.
// Throws CentralFailure (a role without the right to edit: PermissionDenied).
void editValue(PgConnection &con, qint64 id, const QString &column, const QVariant &value, const QString &station);

// A column name as a station spells it ("items" -> "Items"), for the
// server's lower-case names in headers; unknown names are kept.
QString stationSpelling(const QString &name);

} // namespace CentralStore
