#pragma once

#include "database/export/Exporter.h"

enum class ParadoxVersion { V3, V4, V5 };

// A Paradox 3.x, 4.x or 5.x table (.db), long texts in a memo file (.mb) beside it.
class ParadoxExporter : public Exporter
{
public:
    explicit ParadoxExporter(ParadoxVersion version)
        : m_version(version)
    {}

    QString formatName() const override;
    void check(const ExportData &data) const override;
    void write(const ExportData &data, const QString &path, ExportFiles &files) const override;

private:
    ParadoxVersion m_version;
};
