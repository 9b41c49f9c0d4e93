#pragma once

// The presentations of the tests a statement shows, in the long layout R and
// pandas expect: one row per picture shown, with the subject's columns of its
// row of Data, the session's UUID and the presentation's own columns.

#include "database/export/ExportFormats.h"

class Clock;
class ResultsDatabase;

// The statement that reads them for the rows of Data `gridStatement` shows
// (it must have the column ID), ordered by test and presentation.
QString presentationsStatement(const QString &gridStatement);

// Exports them to `fileName` (a table or sheet named "Presentations");
// returns the rows written. Throws Failure.
int ExportPresentations(ResultsDatabase *con, const QString &gridStatement, const QString &fileName,
                        ExportFormat format, const Clock &clock, QChar decimalSeparator = QLatin1Char('.'));
