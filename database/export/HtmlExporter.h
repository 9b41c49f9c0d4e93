#pragma once

#include "database/export/Exporter.h"

// One HTML table in Windows-1250, the table's name as its caption.
class HtmlExporter : public Exporter
{
public:
    QString formatName() const override;
    void check(const ExportData &data) const override;
    void write(const ExportData &data, const QString &path, ExportFiles &files) const override;
};
