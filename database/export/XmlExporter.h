#pragma once

#include "database/export/Exporter.h"

// ADO's XML persistence format in UTF-8: schema, then one z:row per row.
class XmlExporter : public Exporter
{
public:
    QString formatName() const override;
    void check(const ExportData &data) const override;
    void write(const ExportData &data, const QString &path, ExportFiles &files) const override;
};
