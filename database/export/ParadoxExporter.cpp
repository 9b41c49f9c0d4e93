#include "database/export/ParadoxExporter.h"

#include "common/Failure.h"

QString ParadoxExporter::formatName() const
{
    return QStringLiteral("Paradox");
}

void ParadoxExporter::check(const ExportData &) const {}

void ParadoxExporter::write(const ExportData &, const QString &, ExportFiles &) const
{
    throw Failure(QStringLiteral("ExportTable: Fileformat not supported."));
}
