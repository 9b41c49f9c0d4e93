#pragma once

// What the analysis formats (.xlsx, SPSS, Stata) must know of a table before
// they write a byte: the longest text of each column in characters and in
// UTF-8 bytes, each integer column's range and whether every double is
// finite, taken from the summary the rows' first walk gathered. The checks refuse, in the user's words, what a format
// cannot hold.

#include "database/export/Exporter.h"

#include <QList>

struct ColumnSurvey
{
    QList<qsizetype> characters; // the longest text, in UTF-16 units as Qt and Excel count them
    QList<qsizetype> bytes;      // the longest text in UTF-8
    QList<qint64> lowest;        // integer columns: the smallest and largest value (0 and 0 when none)
    QList<qint64> highest;

    static ColumnSurvey of(const ExportData &data);

    // The characters of the longest integer of column `c` as text.
    int integerWidth(qsizetype c) const;

    // Each throws Failure naming the first thing `formatName` cannot hold.
    static void requireRows(const ExportData &data, qint64 maxRows, const QString &formatName);
    static void requireColumns(const ExportData &data, qsizetype maxColumns, const QString &formatName);
    void requireCharacters(const ExportData &data, qsizetype limit, const QString &formatName) const;
    void requireBytes(const ExportData &data, qsizetype limit, const QString &formatName) const;
    // Integers held as doubles: beyond 2^53 they would come back as a neighbour.
    void requireExactIntegers(const ExportData &data, const QString &formatName) const;

    bool allFinite = true;
    QString firstNonFinite; // the column of the first infinite double
    void requireFinite(const QString &formatName) const;
};
