#include "database/StoredTestSubject.h"

#include "common/Failure.h"
#include "database/ResultsDatabase.h"
#include "database/SqliteValues.h"
#include "database/Statement.h"
#include "results/ResultSheet.h"

namespace {

void readSession(ResultsDatabase &con, qint64 id, SessionResult &r)
{
    Statement s(con.handle(),
                QStringLiteral("SELECT StartedUTC, FinishedUTC, Mode FROM Sessions WHERE DataID = ?1 LIMIT 1"), {id});
    if (!s.step())
        return;
    const QDateTime started = SqliteValues::utcOf(s.value(0));
    const QDateTime finished = SqliteValues::utcOf(s.value(1));
    if (started.isValid())
        r.testDate = started.toLocalTime().date();
    if (started.isValid() && finished.isValid())
        r.duration = double(started.msecsTo(finished)) / 86400000.0;
    r.modeText = s.text(2);
}

} // namespace

ReportSubject StoredTestSubject::load(ResultsDatabase &con, qint64 id, const Regional &regional)
{
    Statement d(con.handle(),
                QStringLiteral("SELECT Name, Surname, Age, Gender, M, V, Items, Field1, Field2, Field3 FROM main.Data "
                               "WHERE ID = ?1"),
                {id});
    if (!d.step())
        throw Failure(QStringLiteral("U bazi podataka nema testiranja s ID = %1.").arg(id));
    if (d.value(4).isNull())
        throw Failure(QStringLiteral("Testiranje s ID = %1 nema aritmetičku sredinu M.").arg(id));
    SessionResult r;
    r.subject.Name = d.text(0);
    r.subject.Surname = d.text(1);
    r.subject.Age = d.value(2).isNull() ? QString() : QString::number(d.int64(2));
    if (!d.value(3).isNull())
        r.subject.GenderText = d.int64(3) ? QStringLiteral("Muški") : QStringLiteral("Ženski");
    r.mean = d.value(4).toDouble();
    r.variance = d.value(5).toDouble();
    for (QString item : d.text(6).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        TaskResult task;
        task.efficiency = item.trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
        task.recognised = task.efficiency < 2;
        r.unrecognisedCount += task.recognised ? 0 : 1;
        r.tasks << task;
    }
    r.stimulusCount = int(r.tasks.size());
    r.subject.Field1 = d.text(7);
    r.subject.Field2 = d.text(8);
    r.subject.Field3 = d.text(9);
    readSession(con, id, r);

    ResultSheet sheet = ResultSheet::fromResult(r, regional);
    // The database does not keep whether the background was ignored.
    sheet.labels[8] = QStringLiteral("Ignoriranje pozadine: ");
    return ReportSubject::fromSheet(sheet);
}
