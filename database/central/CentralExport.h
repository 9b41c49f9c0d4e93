#pragma once

// The export of a statement's rows on the central database to a file of
// another program, in any of the formats a station exports: the statement
// runs as the SQL window's do (CentralQuery) and its rows stream from a
// server cursor to the writer.

#include "database/export/ExportFormats.h"

class Clock;
class PgConnection;

namespace CentralExport {

// Writes the rows of `statement` to `fileName`; the table (Access, Excel
// 5.0 and 8.0) or sheet is named `tableName`, in every other format after
// the file. Returns the rows written. Throws Failure.
int run(PgConnection &con, const QString &statement, const QString &fileName, ExportFormat format,
        const QString &tableName, const Clock &clock, QChar decimalSeparator = QLatin1Char('.'));

} // namespace CentralExport
