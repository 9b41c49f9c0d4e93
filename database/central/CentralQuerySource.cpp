#include "database/central/CentralQuerySource.h"

#include "common/Failure.h"
#include "database/central/CentralQuery.h"
#include "database/central/CentralStore.h"
#include "database/central/ServerSettings.h"

#include <QRegularExpression>

#include <limits>

namespace {

// The statement as a table: the line breaks end a comment it may close with.
QString wrapped(const QString &statement)
{
    return QStringLiteral("(\n") + statement + QStringLiteral("\n) AS kalvestrin_q");
}

} // namespace

CentralQuerySource::CentralQuerySource(PgConnection connection, const QString &database, const QString &station)
    : m_con(std::move(connection))
    , m_database(database)
    , m_station(station)
{}

PgConnection CentralQuerySource::connect(const ServerSettings &settings)
{
    // A server that goes silent (a broken network) ends a read after a
    // quarter of a minute rather than leaving the window waiting.
    return PgConnection(settings.conninfo() +
                        QStringLiteral(" keepalives=1 keepalives_idle=10 keepalives_interval=5 keepalives_count=3 "
                                       "tcp_user_timeout=15000"));
}

QString CentralQuerySource::description() const
{
    return QStringLiteral("središnja baza podataka %1 (%2)").arg(m_database, m_con.server());
}

bool CentralQuerySource::isAllData(const QString &sql)
{
    QString text = CentralQuery::cursorText(sql).toLower();
    text.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
    return text == QLatin1String("select * from data") || text == QLatin1String("select * from data order by id");
}

QuerySource::Prepared CentralQuerySource::prepare(const QString &sql)
{
    const auto transaction = CentralQuery::begin(m_con, sql);
    const QString statement = CentralQuery::cursorText(sql);
    const PgResult shape = m_con.exec(QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(wrapped(statement)));
    Prepared prepared;
    const bool keyset = isAllData(sql);
    for (int c = 0; c < shape.columnCount(); ++c) {
        const ExportColumn column = CentralQuery::column(shape, c);
        StatementColumn s;
        s.name = column.name;
        s.declaredType = column.declaredType;
        if (keyset) {
            s.table = QStringLiteral("Data");
            s.origin = column.name;
            if (column.name == QLatin1String("ID"))
                prepared.idColumn = c;
        }
        prepared.columns << s;
    }
    m_sql = statement;
    m_keyset = keyset;
    m_after.clear();
    return prepared;
}

void CentralQuerySource::release()
{
    m_sql.clear();
    m_keyset = false;
    m_after.clear();
}

int CentralQuerySource::countRows()
{
    // Rows may have come or gone since the pages were met.
    m_after.clear();
    if (m_keyset) {
        m_count = CentralStore::dataCount(m_con);
        return int(m_count);
    }
    const auto transaction = CentralQuery::begin(m_con, m_sql);
    return int(m_con.exec(QStringLiteral("SELECT count(*) FROM ") + wrapped(m_sql)).value(0, 0).toLongLong());
}

qint64 CentralQuerySource::pageStart(int page, int pageSize)
{
    if (page == 0)
        return std::numeric_limits<qint64>::min();
    const auto known = m_after.find(page);
    if (known != m_after.end())
        return known->second;
    // The ID just before the page: only the key's index is walked to it,
    // from whichever end of the table is nearer.
    const qint64 before = qint64(page) * pageSize - 1;
    const bool fromEnd = before >= m_count / 2;
    const PgResult id = m_con.exec(fromEnd ? QStringLiteral("SELECT ID FROM Data ORDER BY ID DESC OFFSET $1 LIMIT 1")
                                           : QStringLiteral("SELECT ID FROM Data ORDER BY ID OFFSET $1 LIMIT 1"),
                                   {fromEnd ? m_count - 1 - before : before});
    return id.rowCount() == 1 ? id.value(0, 0).toLongLong() : std::numeric_limits<qint64>::max();
}

RowCache::Rows CentralQuerySource::readPage(int page, int pageSize)
{
    if (m_keyset) {
        RowCache::Rows rows = CentralStore::dataPage(m_con, pageStart(page, pageSize), pageSize);
        if (!rows.empty())
            m_after[page + 1] = rows.back().value(0).toLongLong();
        return rows;
    }
    const auto transaction = CentralQuery::begin(m_con, m_sql);
    const PgResult result = m_con.exec(QStringLiteral("SELECT * FROM %1 LIMIT $1 OFFSET $2").arg(wrapped(m_sql)),
                                       {qint64(pageSize), qint64(page) * pageSize});
    RowCache::Rows rows;
    rows.reserve(std::size_t(result.rowCount()));
    for (int r = 0; r < result.rowCount(); ++r)
        rows.push_back(result.values(r));
    return rows;
}

int CentralQuerySource::findRow(qint64 id, int)
{
    if (!m_keyset)
        return -1;
    const PgResult r = m_con.exec(QStringLiteral("SELECT (SELECT count(*) FROM Data WHERE ID < $1), "
                                                 "EXISTS (SELECT 1 FROM Data WHERE ID = $1)::int"),
                                  {id});
    return r.value(0, 1).toLongLong() == 1 ? int(r.value(0, 0).toLongLong()) : -1;
}

qint64 CentralQuerySource::insertRow(const QString &, const QStringList &, const QVariantList &)
{
    throw Failure(NoInsertOrDeleteText);
}

bool CentralQuerySource::updateRow(const QString &, const QString &, qint64 id, const QStringList &columns,
                                   const QVariantList &values)
{
    PgConnection::Transaction transaction(m_con);
    for (int i = 0; i < columns.size(); ++i)
        CentralStore::editValue(m_con, id, columns[i], values[i], m_station);
    transaction.commit();
    return true;
}

void CentralQuerySource::deleteRow(const QString &, const QString &, qint64)
{
    throw Failure(NoInsertOrDeleteText);
}
