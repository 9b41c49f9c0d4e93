#pragma once

// The central results database on the server: the tables (Data with the
// columns of a station's Data, scores in double precision and Items as the
// station stored the text; Sessions with the test's UUID unique;
// Presentations; DataEdits, one audit row per edited value) and the three
// roles it is used through:
//   kalvestrin_station   inserts tests and reads; never updates or deletes,
//   kalvestrin_examiner  reads and edits Data, only through kalvestrin_edit(),
//                        which writes the audit row with the change,
//   kalvestrin_analysis  reads, nothing else.
// The roles cannot log in; the server's administrator makes a login for each
// station or person and grants it one of them.

#include <QString>

class PgConnection;

namespace CentralSchema {

inline const QString StationRole = QStringLiteral("kalvestrin_station");
inline const QString ExaminerRole = QStringLiteral("kalvestrin_examiner");
inline const QString AnalysisRole = QStringLiteral("kalvestrin_analysis");

// Creates the tables, the edit function and the roles in the connection's
// database, in one transaction. A database that holds any table already
// (ours or another program's) is refused and left as it was. Throws Failure.
void create(PgConnection &con);

} // namespace CentralSchema
