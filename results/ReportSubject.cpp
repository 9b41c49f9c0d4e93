#include "results/ReportSubject.h"

#include "common/Failure.h"
#include "results/ResultSheet.h"

ReportSubject ReportSubject::fromSheet(const ResultSheet &sheet)
{
    if (!sheet.scored)
        throw Failure(QStringLiteral("Nema rezultata testiranja za izvještaj."));
    ReportSubject s;
    for (const QString &label : sheet.labels)
        s.facts << label;
    s.mean = sheet.mean;
    for (qsizetype i = 0; i < sheet.points.size(); ++i) {
        s.efficiencies << sheet.points[i].y() / 100;
        // "3.  kuća": the label after the task's number.
        const QString cell = i + 1 < sheet.cells.size() ? sheet.cells[i + 1].value(0) : QString();
        s.taskLabels << cell.section(QLatin1String(".  "), 1);
    }
    return s;
}
