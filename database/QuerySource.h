#pragma once

// Where the rows of a result set come from and where its edits go: the
// station's own results database or the central one. `Query` keeps the
// current row, the row in edit and the page cache; a source prepares the
// statement, counts and reads its rows a page at a time, finds a row by its
// key and writes a changed row. Every call may throw Failure.

#include "database/ReadOnlyStatement.h"
#include "database/RowCache.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

class QuerySource
{
public:
    struct Prepared
    {
        QList<StatementColumn> columns;
        // The column holding Data.ID when the rows can be edited, else -1.
        int idColumn = -1;
    };

    virtual ~QuerySource() = default;

    // Whether the rows are the station's own (a finished test stored here shows in them).
    virtual bool isLocal() const = 0;
    // Where the rows come from, for the window's caption.
    virtual QString description() const = 0;

    virtual Prepared prepare(const QString &sql) = 0;
    // Lets go of the prepared statement.
    virtual void release() = 0;
    virtual int countRows() = 0;
    virtual RowCache::Rows readPage(int page, int pageSize) = 0;
    // The position of the row whose key is `id`, -1 when the result lacks it.
    virtual int findRow(qint64 id, int idColumn) = 0;

    // Writes to `table`; the columns are the stored names of the result's columns.
    virtual qint64 insertRow(const QString &table, const QStringList &columns, const QVariantList &values) = 0;
    // False when no row has that key any more.
    virtual bool updateRow(const QString &table, const QString &idColumn, qint64 id, const QStringList &columns,
                           const QVariantList &values) = 0;
    virtual void deleteRow(const QString &table, const QString &idColumn, qint64 id) = 0;
};
