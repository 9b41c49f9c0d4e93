#include "database/export/SpreadsheetExporters.h"

std::unique_ptr<Exporter> makeSpreadsheetExporter(int)
{
    return nullptr;
}
