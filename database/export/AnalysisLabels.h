#pragma once

// What the statistics formats (SPSS, Stata) carry beside the values: a
// variable name each program accepts, a Croatian label for every column of
// the results tables, and the labels of the values of Gender.

#include "database/export/Exporter.h"

#include <QPair>

namespace AnalysisLabels {

// The Croatian label of a column of Data, Sessions or Presentations
// ("M": "Aritmetička sredina"), any case; empty for any other name.
QString variableLabel(const QString &column);

// Whether the column is the subject's gender: named Gender, 0/1 valued.
bool isGender(const ExportColumn &column);

// Gender's values and their labels: 0 "Ženski", 1 "Muški".
const QList<QPair<int, QString>> &genderLabels();

// The variable names: Croatian letters without their marks (č to c, đ to d),
// anything but ASCII letters, digits and "_" made "_", a letter first, a
// reserved word given a trailing "_", at most `maxLength` characters and
// unique (case-insensitive or not, as the program compares them).
QStringList variableNames(const QList<ExportColumn> &columns, int maxLength, Qt::CaseSensitivity sensitivity,
                          const QStringList &reserved);

} // namespace AnalysisLabels
