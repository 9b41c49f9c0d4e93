#pragma once

// The writers of the Excel and Lotus worksheets.

#include "database/export/Exporter.h"

#include <memory>

// The writer for export formats 1 to 6, or nullptr when there is none.
std::unique_ptr<Exporter> makeSpreadsheetExporter(int format);
