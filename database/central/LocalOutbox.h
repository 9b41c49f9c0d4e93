#pragma once

// Which of a station's stored tests the central database has: table
// CentralSent in the station's own results database, one row per test the
// server committed (its session UUID and when). A test of Sessions without a
// row there is still to be sent. The table is made the first time a station
// with a server setting sends; a station without one never gets it.

#include "database/central/OutgoingTest.h"

#include <QDateTime>
#include <QStringList>

#include <vector>

class ResultsDatabase;

namespace LocalOutbox {

// CREATE TABLE IF NOT EXISTS CentralSent. Throws Failure.
void prepare(ResultsDatabase &local);

// Up to `limit` tests not yet sent, in the order they were stored, read
// back from Data, Sessions and Presentations.
std::vector<OutgoingTest> pending(ResultsDatabase &local, int limit);
qint64 pendingCount(ResultsDatabase &local);

// Records the tests as held by the server, in one transaction.
void markSent(ResultsDatabase &local, const QStringList &uuids, const QDateTime &when);

} // namespace LocalOutbox
