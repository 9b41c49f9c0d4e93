#pragma once

#include "database/export/Exporter.h"

// A CSV file as today's spreadsheets and R or pandas read it: UTF-8 with a
// byte-order mark (so Excel reads Croatian letters), a header row, fields
// quoted only when they hold the separator, a quote or a line break (quotes
// doubled), lines ending in CR LF. Numbers carry the user's decimal mark;
// beside a decimal comma the separator is ";", else ",". Booleans are 1 and
// 0, as Gender's value labels have them; NULL is an empty field.
class CsvUtf8Exporter : public Exporter
{
public:
    explicit CsvUtf8Exporter(QChar decimalSeparator = QLatin1Char('.'));

    QString formatName() const override;
    void check(const ExportData &data) const override;
    void write(const ExportData &data, const QString &path, ExportFiles &files) const override;

    QChar separator() const { return m_separator; }

private:
    QChar m_decimal;
    QChar m_separator;
};
