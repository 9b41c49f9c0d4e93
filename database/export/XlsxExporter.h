#pragma once

#include "database/export/Exporter.h"

// An Excel 2007+ workbook written through libxlsxwriter in its constant-memory
// mode (one row held at a time): one sheet named after the table, the header
// row bold and frozen, numbers as numbers, texts as texts, Booleans as 1 and
// 0 (as Gender's labels have them), each column as wide as its contents.
class XlsxExporter : public Exporter
{
public:
    static constexpr int MaxRows = 1048575; // Excel's 1,048,576 rows, the header one of them
    static constexpr int MaxColumns = 16384;
    static constexpr int MaxTextLength = 32767;

    QString formatName() const override;
    void check(const ExportData &data) const override;
    void write(const ExportData &data, const QString &path, ExportFiles &files) const override;

private:
};
