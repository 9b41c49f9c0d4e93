#pragma once

#include "database/export/Exporter.h"

// A new table in an existing SQLite database file, written in one transaction.
class AccessExporter : public Exporter
{
public:
    QString formatName() const override;
    void check(const ExportData &data) const override;
    void write(const ExportData &data, const QString &path, ExportFiles &files) const override;
};
