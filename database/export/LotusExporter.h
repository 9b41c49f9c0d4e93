#pragma once

// Writes a table as a Lotus 1-2-3 worksheet: WK1 (release 2) or WK3 (release
// 3, one sheet). Row 0 holds the column names; Booleans are 1 and 0, as Lotus
// has no Boolean cells; a NULL leaves its cell out.

#include "database/export/Exporter.h"
#include "database/export/SheetLimits.h"

class LotusExporter : public Exporter
{
public:
    enum Version { WK1, WK3 };
    explicit LotusExporter(Version version);

    QString formatName() const override;
    void check(const ExportData &data) const override;
    void write(const ExportData &data, const QString &path, ExportFiles &files) const override;

    QByteArray bytes(const ExportData &data) const;

private:
    SheetLimits limits() const;

    Version m_version;
};
