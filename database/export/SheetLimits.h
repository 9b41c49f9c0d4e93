#pragma once

// What a spreadsheet format can hold, and the check that a table fits before
// a byte is written: a row, a character or a digit that does not fit fails
// the export with the column and the limit instead of being cut or changed.

#include "database/export/ByteBuffer.h"
#include "database/export/Exporter.h"

#include <QString>

struct SheetLimits
{
    QString formatName; // "Excel 5.0"
    int maxRows = 0;    // data rows under the header row
    int maxColumns = 256;
    int maxTextLength = 0; // characters in one cell
    bool windows1250 = false;
    // Characters below this one are refused: Lotus labels end at a NUL, and
    // in WK3 the bytes below a space switch character sets.
    char16_t lowestCharacter = 0;
    // Numbers are stored as 64-bit doubles, so integers beyond 2^53 would
    // come back as a neighbour.
    bool doubleNumbers = true;
};

// Throws Failure naming the first thing of `data` that `limits` refuse.
void checkSheetLimits(const ExportData &data, const SheetLimits &limits);

// The kind of a cell value by the value itself rather than by its column:
// a column typed from its declaration may still hold a value of another type.
enum class CellKind { Null, Integer, Double, Boolean, Text };
CellKind cellKind(const QVariant &value);

// Appends one Windows-1250 byte per character; `text` has passed checkSheetLimits.
void appendWindows1250(ByteBuffer &out, const QString &text);
