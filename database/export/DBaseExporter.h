#pragma once

#include "database/export/Exporter.h"

enum class DBaseVersion { III, IV, V };

// A dBASE III, IV or 5 table (.dbf), long texts in a memo file (.dbt) beside it.
class DBaseExporter : public Exporter
{
public:
    explicit DBaseExporter(DBaseVersion version)
        : m_version(version)
    {}

    QString formatName() const override;
    void check(const ExportData &data) const override;
    void write(const ExportData &data, const QString &path, ExportFiles &files) const override;

private:
    DBaseVersion m_version;
};
