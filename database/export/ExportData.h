#pragma once

// Reading the rows of one select statement for an export.

#include "database/export/Exporter.h"

class ResultsDatabase;

// Runs exactly one read-only statement (only blanks, semicolons and comments
// may follow it; the SQL window's rule) and returns its rows with a type and width per column: the
// declared type when the column comes straight from a table and its values
// fit it, else the type its values have. Throws Failure with the engine's
// message, or when the statement is not a single read-only one.
ExportData readExportData(ResultsDatabase &con, const QString &statement, const QString &tableName);
