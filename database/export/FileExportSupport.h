#pragma once

// What the file formats of the export share: value texts, column names,
// and the checks that refuse a table before anything is written.

#include "database/export/Exporter.h"

#include <QStringList>

#include <functional>

namespace FileExport {

// Whether XML 1.0 holds the character.
bool isXmlChar(char32_t c);

// The text column whose summary names the earliest row in `row` (the lower
// column on a tie: the first in reading order), or -1 when none names one.
int firstTextColumnAt(const ExportData &data, std::size_t ColumnSummary::*row);

// The shortest text with "." that reads back to the same double.
QString doubleText(double v);

// A value as text and CSV/HTML write it: numbers with ".", True/False, empty for NULL.
QString valueText(const QVariant &value, ExportColumnType type);

// Each column's name made valid by `clean`, then unique (a number added,
// shortened to `maxLength` when that is above 0). No column is dropped.
QStringList columnNames(const QList<ExportColumn> &columns, const std::function<QString(const QString &)> &clean,
                        int maxLength, Qt::CaseSensitivity sensitivity);

// Per column, whether every integer it holds lies within `lowest`..`highest`
// (true for the columns of other types); one walk over the rows.
QList<bool> integersWithin(const ExportData &data, qint64 lowest, qint64 highest);

// The columns of one type, by index.
QList<int> columnsOf(const ExportData &data, ExportColumnType type);

// Throws when a column name or a text holds a character Windows-1250 lacks.
void requireWindows1250(const ExportData &data, const QString &formatName);

// Throws "column X holds N characters; F takes at most L." for the first text column over `limit`.
void requireTextLength(const ExportData &data, int limit, const QString &formatName);

// The file beside `path` with the same name and another extension (".dbt", ".mb").
QString companionPath(const QString &path, const QString &extension);

} // namespace FileExport
