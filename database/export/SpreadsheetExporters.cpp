#include "database/export/SpreadsheetExporters.h"

#include "database/export/BiffExporter.h"
#include "database/export/LotusExporter.h"

std::unique_ptr<Exporter> makeSpreadsheetExporter(int format)
{
    switch (format) {
    case 1: return std::make_unique<BiffExporter>(3);
    case 2: return std::make_unique<BiffExporter>(4);
    case 3: return std::make_unique<BiffExporter>(5);
    case 4: return std::make_unique<BiffExporter>(8);
    case 5: return std::make_unique<LotusExporter>(LotusExporter::WK1);
    case 6: return std::make_unique<LotusExporter>(LotusExporter::WK3);
    default: return nullptr;
    }
}
