#include "database/export/PresentationExport.h"

#include "common/Failure.h"
#include "database/ReadOnlyStatement.h"
#include "database/ResultsDatabase.h"
#include "database/export/ExportQuery.h"

#include <QScopeGuard>

QString presentationsStatement(const QString &gridStatement)
{
    // The grid's statement as a subquery: without its closing ";", and on lines
    // of its own so that a comment at its end ends there.
    QString grid = gridStatement.trimmed();
    while (grid.endsWith(QLatin1Char(';')))
        grid = grid.chopped(1).trimmed();
    return QStringLiteral("SELECT d.ID, d.Name, d.Surname, d.Age, d.Gender, d.Field1, d.Field2, d.Field3,\n"
                          "  s.UUID AS SessionUUID, p.Task, p.LevelIndex, p.Level, p.Efficiency, p.OnsetMs,\n"
                          "  p.ResponseMs, p.Key, p.TypedAnswer, p.Judgement\n"
                          "FROM Data AS d JOIN Sessions AS s ON s.DataID = d.ID\n"
                          "  JOIN Presentations AS p ON p.SessionUUID = s.UUID\n"
                          "WHERE d.ID IN (SELECT ID FROM (\n%1\n))\n"
                          "ORDER BY d.ID, s.UUID, p.Nr;")
        .arg(grid);
}

int ExportPresentations(ResultsDatabase *con, const QString &gridStatement, const QString &fileName,
                        ExportFormat format, const Clock &clock, QChar decimalSeparator)
{
    if (!presentationFormats().contains(format))
        throw Failure(QStringLiteral("ExportTable: Fileformat not supported."));
    if (!con || gridStatement.isEmpty() || fileName.isEmpty())
        throw Failure(QStringLiteral("Incomplete parameters."));
    // The grid's statement as SQLite reads it: what follows it (";", a comment) left out.
    const bool wasOpen = con->isOpen();
    if (!wasOpen)
        con->open();
    const auto closeAgain = qScopeGuard([&] {
        if (!wasOpen)
            con->close();
    });
    const QString grid = prepareReadOnly(*con, gridStatement).sql();
    return ExportQuery(con, presentationsStatement(grid), fileName, format, QStringLiteral("Presentations"), clock,
                       decimalSeparator);
}
