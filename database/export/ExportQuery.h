#pragma once

// The export of a select statement's result to a file of another program.

#include "database/export/ExportFormats.h"

#include <memory>

class Clock;
class ResultsDatabase;

// The two pieces ExportQuery cuts a statement into.
struct ExportStatementParts
{
    QString fieldList;
    QString sourcePart;
};

// Splits "SELECT <fields> FROM <source>" at the first FROM that stands
// between blanks (tab, LF, CR, space). The first six characters are taken to
// be SELECT unchecked; the pieces keep their case, the source part its
// semicolon and line breaks. No such FROM: the source part is empty.
ExportStatementParts splitExportStatement(const QString &statement);

// The writer of a format, or nullptr for a format that cannot be written.
// `decimalSeparator` is the user's, for the formats that follow it (CSV UTF-8).
std::unique_ptr<Exporter> makeExporter(ExportFormat format, QChar decimalSeparator = QLatin1Char('.'));

// Exports the result of `statement` to `fileName`; returns the rows written.
// The statement runs only as one that reads. A closed connection is opened
// for the export and closed again after it. Throws Failure.
// The files record `clock`'s time as their last change.
int ExportQuery(ResultsDatabase *con, const QString &statement, const QString &fileName, ExportFormat format,
                const QString &tableName, const Clock &clock, QChar decimalSeparator = QLatin1Char('.'));

// Exports SELECT <fieldList> FROM <sourcePart>. The table (Access, Excel 5.0
// and 8.0) or sheet is named `tableName` or after the file.
int ExportTable(ResultsDatabase *con, const QString &sourcePart, const QString &fieldList, const QString &fileName,
                ExportFormat format, const QString &tableName, const Clock &clock,
                QChar decimalSeparator = QLatin1Char('.'));

// Saves the result of the unchanged statement in ADO's XML persistence format.
int SaveQueryAsXml(ResultsDatabase *con, const QString &statement, const QString &fileName, const Clock &clock);
