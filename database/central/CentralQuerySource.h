#pragma once

// The rows the group window shows from the central database, over a
// connection of its own. The whole of Data ("select * from data;", or
// ordered by ID) is read by keyset paging: a page is the rows after the last
// ID of the page before it, so no page costs more than its own rows and no
// row is held but those of the cached pages; a jump far into the table (the
// window opens on the last row) first finds its page's starting ID on the
// key's index, walked from the nearer end. Those rows can be edited,
// each value through the audited edit. Any other statement runs as the SQL
// window's statements do on the server (CentralQuery: select only, a
// read-only transaction, the timeout, the analysis role), a page at a time,
// and cannot be edited. Tests are added to the central database by the
// stations only, and nothing is deleted there.

#include "database/QuerySource.h"
#include "database/central/PgConnection.h"

#include <map>

struct ServerSettings;

class CentralQuerySource : public QuerySource
{
public:
    inline static const QString NoInsertOrDeleteText =
        QStringLiteral("U središnjoj bazi podataka zapisi se ne dodaju i ne brišu: testove u nju šalju stanice, a "
                       "ovdje se mogu mijenjati samo vrijednosti.");

    // `station` names this computer in the audit rows of its edits.
    CentralQuerySource(PgConnection connection, const QString &database, const QString &station);

    // Opens a connection for the group window (throws CentralFailure); it
    // gives up on a server that stops answering instead of waiting for ever.
    static PgConnection connect(const ServerSettings &settings);

    PgConnection &connection() { return m_con; }

    bool isLocal() const override { return false; }
    QString description() const override;
    Prepared prepare(const QString &sql) override;
    void release() override;
    int countRows() override;
    RowCache::Rows readPage(int page, int pageSize) override;
    int findRow(qint64 id, int idColumn) override;
    qint64 insertRow(const QString &table, const QStringList &columns, const QVariantList &values) override;
    bool updateRow(const QString &table, const QString &idColumn, qint64 id, const QStringList &columns,
                   const QVariantList &values) override;
    void deleteRow(const QString &table, const QString &idColumn, qint64 id) override;

    // Whether a statement is the whole of Data in the order of ID.
    static bool isAllData(const QString &sql);

private:
    qint64 pageStart(int page, int pageSize);

    PgConnection m_con;
    QString m_database;
    QString m_station;
    QString m_sql;
    bool m_keyset = false;
    qint64 m_count = 0;
    // The ID each page's rows come after, for the pages met so far.
    std::map<int, qint64> m_after;
};
