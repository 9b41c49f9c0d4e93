#include "database/export/DBaseExporter.h"

#include "common/Failure.h"

QString DBaseExporter::formatName() const
{
    return QStringLiteral("DBase");
}

void DBaseExporter::check(const ExportData &) const {}

void DBaseExporter::write(const ExportData &, const QString &, ExportFiles &) const
{
    throw Failure(QStringLiteral("ExportTable: Fileformat not supported."));
}
