#include "database/export/ExportFormats.h"

#include "database/export/AccessExporter.h"
#include "database/export/BiffExporter.h"
#include "database/export/CsvUtf8Exporter.h"
#include "database/export/DBaseExporter.h"
#include "database/export/HtmlExporter.h"
#include "database/export/LotusExporter.h"
#include "database/export/ParadoxExporter.h"
#include "database/export/ReadStatExporter.h"
#include "database/export/TextExporter.h"
#include "database/export/XlsxExporter.h"
#include "database/export/XmlExporter.h"

namespace {

template <typename T, auto... Args>
std::unique_ptr<Exporter> make()
{
    return std::make_unique<T>(Args...);
}

// The chooser's entries are those of the original program, Lotus WK4 (which
// it could never write) left out.
const ExportFormatInfo Formats[] = {
    {efAccess, "efAccess", "Access (*.mdb)", "mdb", make<AccessExporter>, 0, true, nullptr},
    {efExcel3, "efExcel3", "Excel 3.0 (*.xls)", "xls", make<BiffExporter, 3>, 16383, false, nullptr},
    {efExcel4, "efExcel4", "Excel 4.0 (*.xls)", "xls", make<BiffExporter, 4>, 16383, false, nullptr},
    {efExcel5, "efExcel5", "Excel 5.0/95 (*.xls)", "xls", make<BiffExporter, 5>, 16383, true, nullptr},
    {efExcel8, "efExcel8", "Excel 97/2000 (*.xls)", "xls", make<BiffExporter, 8>, 65535, true, nullptr},
    {efLotusWK1, "efLotusWK1", "Lotus WK1 (*.wk1)", "wk1", make<LotusExporter, LotusExporter::WK1>, 8191, false,
     nullptr},
    {efLotusWK3, "efLotusWK3", "Lotus WK3 (*.wk3)", "wk3", make<LotusExporter, LotusExporter::WK3>, 8191, false,
     nullptr},
    {efLotusWK4, "efLotusWK4", nullptr, "wk4", nullptr, 0, false, nullptr},
    {efDBase3, "efDBase3", "dBase III (*.dbf)", "dbf", make<DBaseExporter, DBaseVersion::III>, 0, false, ".dbt"},
    {efDBase4, "efDBase4", "dBase IV (*.dbf)", "dbf", make<DBaseExporter, DBaseVersion::IV>, 0, false, ".dbt"},
    {efDBase5, "efDBase5", "dBase 5 (*.dbf)", "dbf", make<DBaseExporter, DBaseVersion::V>, 0, false, ".dbt"},
    {efParadox3, "efParadox3", "Paradox 3.x (*.db)", "db", make<ParadoxExporter, ParadoxVersion::V3>, 0, false,
     nullptr},
    {efParadox4, "efParadox4", "Paradox 4.x (*.db)", "db", make<ParadoxExporter, ParadoxVersion::V4>, 0, false, ".mb"},
    {efParadox5, "efParadox5", "Paradox 5.x (*.db)", "db", make<ParadoxExporter, ParadoxVersion::V5>, 0, false, ".mb"},
    {efText, "efText", "Text File (*.txt)", "txt", make<TextExporter>, 0, false, nullptr},
    {efHTML, "efHTML", "HTML File (*.htm)", "htm", make<HtmlExporter>, 0, false, nullptr},
    {efXML, "efXML", "XML File (*.xml)", "xml", make<XmlExporter>, 0, false, nullptr},
    {efXlsx, "efXlsx", "Excel 2007+ (*.xlsx)", "xlsx", make<XlsxExporter>, XlsxExporter::MaxRows, true, nullptr},
    {efSpss, "efSpss", "SPSS (*.sav)", "sav", make<ReadStatExporter, ReadStatExporter::Spss>, 0, false, nullptr},
    {efStata, "efStata", "Stata (*.dta)", "dta", make<ReadStatExporter, ReadStatExporter::Stata>, 0, false, nullptr},
    // The separator and decimal mark are the user's: makeExporter passes them in.
    {efCsvUtf8, "efCsvUtf8", "CSV UTF-8 (*.csv)", "csv", make<CsvUtf8Exporter>, 0, false, nullptr},
};

} // namespace

std::span<const ExportFormatInfo> exportFormats()
{
    return Formats;
}

const ExportFormatInfo *exportFormatInfo(int format)
{
    for (const ExportFormatInfo &info : Formats) {
        if (info.format == format)
            return &info;
    }
    return nullptr;
}

const ExportFormatInfo *exportFormatNamed(const QString &name)
{
    for (const ExportFormatInfo &info : Formats) {
        if (name.compare(QLatin1String(info.name), Qt::CaseInsensitive) == 0)
            return &info;
    }
    return nullptr;
}

QList<ExportFormat> chooserFormats()
{
    QList<ExportFormat> formats;
    for (const ExportFormatInfo &info : Formats) {
        if (info.chooserEntry)
            formats << info.format;
    }
    return formats;
}

QStringList chooserFilters()
{
    QStringList filters;
    for (const ExportFormatInfo &info : Formats) {
        if (info.chooserEntry)
            filters << QString::fromLatin1(info.chooserEntry) + QStringLiteral("|*.") + QLatin1String(info.extension);
    }
    return filters;
}

QList<ExportFormat> presentationFormats()
{
    return {efXlsx, efSpss, efStata, efCsvUtf8, efText};
}
