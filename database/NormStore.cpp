#include "database/NormStore.h"

#include "common/Failure.h"
#include "database/NormFilter.h"
#include "database/ResultsDatabase.h"
#include "database/SqliteValues.h"
#include "database/Statement.h"

namespace {

const QString CreateTables =
    QStringLiteral("CREATE TABLE IF NOT EXISTS NormGroups (\n"
                   "  ID INTEGER PRIMARY KEY AUTOINCREMENT,\n"
                   "  Name TEXT NOT NULL UNIQUE CHECK (typeof(Name) = 'text' AND length(trim(Name)) > 0),\n"
                   "  Definition TEXT,\n"
                   "  CreatedUTC TEXT,\n"
                   "  N INTEGER NOT NULL CHECK (typeof(N) = 'integer' AND N >= 2),\n"
                   "  Mean DOUBLE NOT NULL CHECK (typeof(Mean) = 'real'),\n"
                   "  SD DOUBLE NOT NULL CHECK (typeof(SD) = 'real' AND SD > 0)\n"
                   ");\n"
                   "CREATE TABLE IF NOT EXISTS NormValues (\n"
                   "  GroupID INTEGER NOT NULL,\n"
                   "  M DOUBLE NOT NULL CHECK (typeof(M) = 'real')\n"
                   ");\n"
                   "CREATE INDEX IF NOT EXISTS NormValuesByGroup ON NormValues (GroupID);\n"
                   "CREATE TABLE IF NOT EXISTS NormPoints (\n"
                   "  GroupID INTEGER NOT NULL,\n"
                   "  M DOUBLE NOT NULL CHECK (typeof(M) = 'real'),\n"
                   "  Percentile DOUBLE NOT NULL CHECK (typeof(Percentile) = 'real')\n"
                   ");\n"
                   "CREATE TABLE IF NOT EXISTS NormTasks (\n"
                   "  GroupID INTEGER NOT NULL,\n"
                   "  Task INTEGER NOT NULL CHECK (typeof(Task) = 'integer' AND Task >= 1),\n"
                   "  Q1 DOUBLE NOT NULL, Median DOUBLE NOT NULL, Q3 DOUBLE NOT NULL,\n"
                   "  PRIMARY KEY (GroupID, Task)\n"
                   ");\n");

const QString Tables[] = {QStringLiteral("NormValues"), QStringLiteral("NormPoints"), QStringLiteral("NormTasks")};

// "0,20506;2,00000;" as the task efficiencies; empty when a value is not a number.
QList<double> itemValues(const QString &items)
{
    QList<double> values;
    for (QString item : items.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        item = item.trimmed().replace(QLatin1Char(','), QLatin1Char('.'));
        if (item.isEmpty())
            continue;
        bool ok = false;
        values << item.toDouble(&ok);
        if (!ok)
            return {};
    }
    return values;
}

QString notFound(const QString &name)
{
    return QStringLiteral("Normna skupina \"%1\" ne postoji.").arg(name);
}

} // namespace

NormStore::NormStore(ResultsDatabase &con)
    : m_con(con)
{}

NormGroup NormStore::compute(const QString &name, const NormFilter &filter)
{
    QVariantList values;
    const QString where = filter.where(values);
    Statement select(m_con.handle(), QStringLiteral("SELECT d.M, d.Items FROM main.Data d WHERE ") + where, values);
    QList<double> m;
    QList<QList<double>> efficiencies;
    while (select.step()) {
        m << select.value(0).toDouble();
        efficiencies << itemValues(select.text(1));
    }
    NormGroup group = NormGroup::fromTests(std::move(m), efficiencies);
    group.name = name.trimmed();
    group.definition = filter.definition();
    return group;
}

bool NormStore::hasTables()
{
    Statement s(m_con.handle(), QStringLiteral("SELECT count(*) FROM main.sqlite_schema WHERE type = 'table' AND "
                                               "name = 'NormGroups' COLLATE NOCASE"));
    return s.step() && s.int64(0) > 0;
}

qint64 NormStore::idOf(const QString &name)
{
    if (!hasTables())
        return -1;
    Statement s(m_con.handle(), QStringLiteral("SELECT ID FROM NormGroups WHERE Name = ?1"), {name});
    return s.step() ? s.int64(0) : -1;
}

void NormStore::requireFreeName(const QString &name)
{
    if (name.trimmed().isEmpty())
        throw Failure(QStringLiteral("Upišite naziv normne skupine."));
    if (idOf(name) >= 0)
        throw Failure(QStringLiteral("Normna skupina \"%1\" već postoji.").arg(name));
}

void NormStore::add(const NormGroup &g, const QDateTime &createdUtc)
{
    g.check();
    ResultsDatabase::Transaction transaction(m_con);
    m_con.executeScript(CreateTables);
    requireFreeName(g.name);
    m_con.execute(QStringLiteral("INSERT INTO NormGroups (Name, Definition, CreatedUTC, N, Mean, SD) VALUES (?1, "
                                 "?2, ?3, ?4, ?5, ?6)"),
                  {g.name, g.definition, SqliteValues::utcValue(createdUtc), g.n, g.mean, g.sd});
    const qint64 id = m_con.lastInsertId();
    Statement value(m_con.handle(), QStringLiteral("INSERT INTO NormValues (GroupID, M) VALUES (?1, ?2)"));
    for (double v : g.values) {
        value.bindAll({id, v});
        value.run();
        value.reset();
    }
    Statement point(m_con.handle(), QStringLiteral("INSERT INTO NormPoints (GroupID, M, Percentile) VALUES (?1, ?2, "
                                                   "?3)"));
    for (const NormPoint &p : g.points) {
        point.bindAll({id, p.m, p.percentile});
        point.run();
        point.reset();
    }
    Statement task(m_con.handle(), QStringLiteral("INSERT INTO NormTasks (GroupID, Task, Q1, Median, Q3) VALUES "
                                                  "(?1, ?2, ?3, ?4, ?5)"));
    for (qsizetype i = 0; i < g.tasks.size(); ++i) {
        task.bindAll({id, qint64(i + 1), g.tasks[i].q1, g.tasks[i].median, g.tasks[i].q3});
        task.run();
        task.reset();
    }
    transaction.commit();
}

QStringList NormStore::names()
{
    QStringList names;
    if (!hasTables())
        return names;
    Statement s(m_con.handle(), QStringLiteral("SELECT Name FROM NormGroups ORDER BY Name"));
    while (s.step())
        names << s.text(0);
    return names;
}

NormGroup NormStore::load(const QString &name)
{
    const qint64 id = idOf(name);
    if (id < 0)
        throw Failure(notFound(name));
    NormGroup g;
    Statement group(m_con.handle(),
                    QStringLiteral("SELECT Name, Definition, N, Mean, SD FROM NormGroups WHERE ID = ?1"), {id});
    group.step();
    g.name = group.text(0);
    g.definition = group.text(1);
    g.n = group.int64(2);
    g.mean = group.value(3).toDouble();
    g.sd = group.value(4).toDouble();
    Statement values(m_con.handle(), QStringLiteral("SELECT M FROM NormValues WHERE GroupID = ?1 ORDER BY M"), {id});
    while (values.step())
        g.values << values.value(0).toDouble();
    Statement points(m_con.handle(),
                     QStringLiteral("SELECT M, Percentile FROM NormPoints WHERE GroupID = ?1 ORDER BY M"), {id});
    while (points.step())
        g.points << NormPoint{points.value(0).toDouble(), points.value(1).toDouble()};
    Statement tasks(m_con.handle(),
                    QStringLiteral("SELECT Q1, Median, Q3 FROM NormTasks WHERE GroupID = ?1 ORDER BY Task"), {id});
    while (tasks.step())
        g.tasks << TaskNorm{tasks.value(0).toDouble(), tasks.value(1).toDouble(), tasks.value(2).toDouble()};
    return g;
}

void NormStore::rename(const QString &name, const QString &newName)
{
    ResultsDatabase::Transaction transaction(m_con);
    const qint64 id = idOf(name);
    if (id < 0)
        throw Failure(notFound(name));
    requireFreeName(newName.trimmed());
    m_con.execute(QStringLiteral("UPDATE NormGroups SET Name = ?1 WHERE ID = ?2"), {newName.trimmed(), id});
    transaction.commit();
}

void NormStore::remove(const QString &name)
{
    ResultsDatabase::Transaction transaction(m_con);
    const qint64 id = idOf(name);
    if (id < 0)
        throw Failure(notFound(name));
    for (const QString &table : Tables)
        m_con.execute(QStringLiteral("DELETE FROM %1 WHERE GroupID = ?1").arg(table), {id});
    m_con.execute(QStringLiteral("DELETE FROM NormGroups WHERE ID = ?1"), {id});
    transaction.commit();
}
