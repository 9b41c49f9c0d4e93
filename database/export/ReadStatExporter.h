#pragma once

#include "database/export/Exporter.h"

// An SPSS system file (.sav) or a Stata dataset (.dta, format 118, Stata 14
// and later) written through ReadStat, a row at a time. Variable names valid
// in each program, Croatian variable labels for the columns of the results
// tables, value labels for Gender (0 "Ženski", 1 "Muški"), NULL as the
// system-missing value, texts in UTF-8. SPSS holds every number as a double;
// Stata keeps integers that fit as long, Booleans as byte, the rest as double.
class ReadStatExporter : public Exporter
{
public:
    enum Kind { Spss, Stata };
    explicit ReadStatExporter(Kind kind);

    QString formatName() const override;
    void check(const ExportData &data) const override;
    void write(const ExportData &data, const QString &path, ExportFiles &files) const override;

private:
    Kind m_kind;
};
