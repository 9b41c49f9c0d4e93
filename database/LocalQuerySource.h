#pragma once

// The rows of a statement over the station's own results database: prepared
// read-only on its query connection, counted and read a page at a time with
// LIMIT and OFFSET (each read ends before the next event, so no read
// transaction stays open), and changed rows written to main.Data.

#include "database/QuerySource.h"
#include "database/Statement.h"

class ResultsDatabase;

class LocalQuerySource : public QuerySource
{
public:
    explicit LocalQuerySource(ResultsDatabase &con)
        : m_con(con)
    {}

    bool isLocal() const override { return true; }
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

private:
    ResultsDatabase &m_con;
    ReadOnlyStatement m_statement;
    Statement m_countStatement;
    Statement m_pageStatement;
};
