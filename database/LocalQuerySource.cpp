#include "database/LocalQuerySource.h"

#include "database/ResultsDatabase.h"
#include "database/SqliteValues.h"

#include <QFileInfo>
#include <QScopeGuard>

namespace {

// How many times the plan reads a table: a result that reads Data twice (a
// self-join, a subquery) may show one row's ID beside another row's values.
int tableReads(ResultsDatabase &con, const QString &sql)
{
    Statement plan(con.queries().handle(), QStringLiteral("EXPLAIN QUERY PLAN ") + sql);
    int reads = 0;
    while (plan.step()) {
        const QString detail = plan.text(3);
        if (detail.startsWith(QLatin1String("SCAN ")) || detail.startsWith(QLatin1String("SEARCH ")))
            ++reads;
    }
    return reads;
}

QString quoted(const QString &name)
{
    return SqliteValues::quoteIdentifier(name);
}

} // namespace

QString LocalQuerySource::description() const
{
    return QFileInfo(m_con.fileName()).fileName();
}

QuerySource::Prepared LocalQuerySource::prepare(const QString &sql)
{
    ReadOnlyStatement statement = prepareReadOnly(m_con, sql);
    Prepared prepared;
    prepared.columns = statement.columns();

    // Updatable only when the result is a plain view of main.Data with its key:
    // anything else (a join, an aggregate, a column twice) would write a
    // different row than the one shown, or none.
    int idColumn = -1;
    bool plain = true;
    QStringList seen;
    for (int c = 0; c < prepared.columns.size() && plain; ++c) {
        const StatementColumn &column = prepared.columns[c];
        const QString origin = column.origin.toLower();
        plain = column.database == QLatin1String("main") &&
                column.table.compare(QLatin1String("Data"), Qt::CaseInsensitive) == 0 && !origin.isEmpty() &&
                !seen.contains(origin);
        seen << origin;
        if (origin == QLatin1String("id"))
            idColumn = c;
    }
    if (plain && idColumn >= 0 && tableReads(m_con, statement.sql()) != 1)
        plain = false;
    prepared.idColumn = plain ? idColumn : -1;

    // The line breaks end a comment the statement may close with.
    const QString inner = QStringLiteral("(\n") + statement.sql() + QStringLiteral("\n)");
    sqlite3 *db = m_con.queries().handle();
    m_countStatement = Statement(db, QStringLiteral("SELECT count(*) FROM ") + inner);
    m_pageStatement = Statement(db, QStringLiteral("SELECT * FROM ") + inner + QStringLiteral(" LIMIT ?1 OFFSET ?2"));
    m_statement = std::move(statement);
    return prepared;
}

void LocalQuerySource::release()
{
    m_statement = {};
    m_countStatement = {};
    m_pageStatement = {};
}

int LocalQuerySource::countRows()
{
    const bool counted = m_countStatement.step();
    const int n = counted ? int(m_countStatement.int64(0)) : 0;
    m_countStatement.reset();
    return n;
}

RowCache::Rows LocalQuerySource::readPage(int page, int pageSize)
{
    RowCache::Rows rows;
    rows.reserve(std::size_t(pageSize));
    m_pageStatement.bind(1, qint64(pageSize));
    m_pageStatement.bind(2, qint64(page) * pageSize);
    // A failing step resets the statement itself.
    while (m_pageStatement.step())
        rows.push_back(m_pageStatement.values());
    // Reset at once: no read stays open between events.
    m_pageStatement.reset();
    return rows;
}

int LocalQuerySource::findRow(qint64 id, int idColumn)
{
    const auto reset = qScopeGuard([this] { m_statement.reset(); });
    for (int row = 0; m_statement.next(); ++row) {
        if (m_statement.value(idColumn).toLongLong() == id)
            return row;
    }
    return -1;
}

qint64 LocalQuerySource::insertRow(const QString &table, const QStringList &columns, const QVariantList &values)
{
    const QString target = QStringLiteral("main.") + quoted(table);
    ResultsDatabase::Transaction transaction(m_con);
    if (columns.isEmpty()) {
        m_con.execute(QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(target));
    } else {
        QStringList names, marks;
        for (int i = 0; i < columns.size(); ++i) {
            names << quoted(columns[i]);
            marks << QStringLiteral("?%1").arg(i + 1);
        }
        m_con.execute(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                          .arg(target, names.join(QLatin1String(", ")), marks.join(QLatin1String(", "))),
                      values);
    }
    const qint64 id = m_con.lastInsertId();
    transaction.commit();
    return id;
}

bool LocalQuerySource::updateRow(const QString &table, const QString &idColumn, qint64 id, const QStringList &columns,
                                 const QVariantList &values)
{
    if (columns.isEmpty())
        return true;
    QStringList sets;
    for (int i = 0; i < columns.size(); ++i)
        sets << QStringLiteral("%1 = ?%2").arg(quoted(columns[i])).arg(i + 1);
    QVariantList bound = values;
    bound << id;
    ResultsDatabase::Transaction transaction(m_con);
    const qint64 changed = m_con.execute(QStringLiteral("UPDATE main.%1 SET %2 WHERE %3 = ?%4")
                                             .arg(quoted(table), sets.join(QLatin1String(", ")), quoted(idColumn))
                                             .arg(bound.size()),
                                         bound);
    transaction.commit();
    return changed > 0;
}

void LocalQuerySource::deleteRow(const QString &table, const QString &idColumn, qint64 id)
{
    m_con.execute(QStringLiteral("DELETE FROM main.%1 WHERE %2 = ?1").arg(quoted(table), quoted(idColumn)), {id});
}
