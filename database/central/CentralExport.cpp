#include "database/central/CentralExport.h"

#include "common/Clock.h"
#include "common/Failure.h"
#include "database/central/CentralQuery.h"
#include "database/export/ExportQuery.h"

#include <QFileInfo>

int CentralExport::run(PgConnection &con, const QString &statement, const QString &fileName, ExportFormat format,
                       const QString &tableName, const Clock &clock, QChar decimalSeparator)
{
    const std::unique_ptr<Exporter> exporter = makeExporter(format, decimalSeparator);
    if (!exporter)
        throw Failure(QStringLiteral("ExportTable: Fileformat not supported."));
    const QFileInfo file(fileName);
    const auto transaction = CentralQuery::begin(con, statement);
    ExportData data = CentralQuery::exportData(
        con, statement, exportFormatInfo(format)->namedTable ? tableName : file.completeBaseName());
    data.writtenAt = clock.now();
    exporter->check(data);
    ExportFiles files;
    exporter->write(data, file.absoluteFilePath(), files);
    files.commit();
    return int(data.rows.size());
}
