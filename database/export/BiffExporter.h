#pragma once

// Writes a table as an Excel worksheet: versions 3 and 4 as a bare worksheet
// stream, 5 and 8 as a one-sheet workbook inside a compound file. Row 0 holds
// the column names; a NULL leaves its cell out.

#include "database/export/Exporter.h"
#include "database/export/SheetLimits.h"

class BiffExporter : public Exporter
{
public:
    explicit BiffExporter(int version); // 3, 4, 5 or 8

    QString formatName() const override;
    void check(const ExportData &data) const override;
    void write(const ExportData &data, const QString &path, ExportFiles &files) const override;

    // The BIFF stream itself in consecutive parts: the whole file for
    // versions 3 and 4, the workbook stream for 5 and 8.
    QList<QByteArray> stream(const ExportData &data) const;

private:
    SheetLimits limits() const;

    int m_version;
};
