#pragma once

// The export formats, each described once: the group window's chooser, the
// tool's format names and the writers all read this table.

#include "database/export/Exporter.h"

#include <QStringList>

#include <memory>
#include <span>

enum ExportFormat : int {
    efAccess,
    efExcel3,
    efExcel4,
    efExcel5,
    efExcel8,
    efLotusWK1,
    efLotusWK3,
    efLotusWK4,
    efDBase3,
    efDBase4,
    efDBase5,
    efParadox3,
    efParadox4,
    efParadox5,
    efText,
    efHTML,
    efXML,
    efXlsx,
    efSpss,
    efStata,
    efCsvUtf8,
};

struct ExportFormatInfo
{
    ExportFormat format;
    const char *name;         // the program's name: "efExcel8"
    const char *chooserEntry; // "Excel 97/2000 (*.xls)"; nullptr: not offered in the chooser
    const char *extension;    // "xls"
    // The writer; nullptr for a format that cannot be written.
    std::unique_ptr<Exporter> (*make)();
    int maxRows;           // data rows a file holds; 0: no limit of the format's own
    bool namedTable;       // holds a table or sheet named by the caller, not after the file
    const char *companion; // the memo file beside the table (".dbt"), or nullptr
};

// Every format, in the order of its enumeration value.
std::span<const ExportFormatInfo> exportFormats();

// The row of a format; nullptr for a value outside the enumeration.
const ExportFormatInfo *exportFormatInfo(int format);

// The row named `name` ("efText", any case), or nullptr.
const ExportFormatInfo *exportFormatNamed(const QString &name);

// The formats the chooser offers, in its order, and its filter entries
// ("Excel 3.0 (*.xls)", "*.xls") in the same order.
QList<ExportFormat> chooserFormats();
QStringList chooserFilters();

// The formats the presentations (one row per picture shown) are exported in,
// in the chooser's order.
QList<ExportFormat> presentationFormats();
