#pragma once

// The writers of the spreadsheet formats, by export format number: 1 Excel
// 3.0, 2 Excel 4.0, 3 Excel 5.0, 4 Excel 8.0, 5 Lotus WK1, 6 Lotus WK3.

#include "database/export/Exporter.h"

#include <memory>

// nullptr for a format that is not a spreadsheet.
std::unique_ptr<Exporter> makeSpreadsheetExporter(int format);
