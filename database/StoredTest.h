#pragma once

// The row of table Data that one finished test becomes, and its insertion.

#include <QChar>
#include <QString>
#include <QVariantList>

class ResultsDatabase;
struct SessionResult;

namespace StoredTest {

// Every task's efficiency with five decimals, each followed by ";".
QString itemsText(const SessionResult &result, QChar separator);

// Name, Surname, Age, Gender, N, M, V, Items, Field1..Field3, in that order:
// Age NULL when not given, Gender NULL unless "Ženski" (false) or "Muški"
// (true), M and V the scores as computed, never recomputed. Throws Failure
// for an age that is not a whole number.
QVariantList values(const SessionResult &result, QChar separator);

// Adds the row of values() straight into main.Data within the caller's
// transaction (StoreFinishedTest stores a test whole); its new ID. Throws
// Failure with SQLite's text.
qint64 insertRow(ResultsDatabase &con, const QVariantList &row);

} // namespace StoredTest
