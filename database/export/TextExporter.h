#pragma once

#include "database/export/Exporter.h"

// Comma-separated text in Windows-1250, described by its section in schema.ini beside it.
class TextExporter : public Exporter
{
public:
    QString formatName() const override;
    void check(const ExportData &data) const override;
    void write(const ExportData &data, const QString &path, ExportFiles &files) const override;
};
