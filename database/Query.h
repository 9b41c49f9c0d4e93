#pragma once

// The result set `Query`: one read-only statement over the results database
// (the station's own, or the central one when a source for it is set),
// shown in the group results grid, edited through it, queried by the SQL
// window and exported. Rows are read a page at a time into a bounded cache;
// each page's read ends before the next event, so no read transaction stays
// open while the examiner looks at the grid. The rows can be edited only
// when every column comes straight from Data, each once, with Data.ID
// among them: a row is then addressed by its ID.

#include "database/QuerySource.h"
#include "database/RowCache.h"

#include <QList>
#include <QObject>
#include <QVariant>

#include <memory>

class ResultsDatabase;

class Query : public QObject
{
    Q_OBJECT
public:
    enum class State { Closed, Browse, Edit, Insert };

    static constexpr int PageSize = RowCache::PageSize;
    static constexpr int MaxCachedPages = RowCache::MaxPages;

    explicit Query(ResultsDatabase &con, QObject *parent = nullptr);
    ~Query() override;

    // The station's own database (whose query connection the SQL window stops).
    ResultsDatabase &connection() const { return m_con; }

    // Where the rows come from: the station's database unless set otherwise.
    // Setting closes the query; null goes back to the station's database.
    void setSource(std::unique_ptr<QuerySource> source);
    QuerySource &source() const { return *m_source; }
    bool isLocal() const { return m_source->isLocal(); }

    // The statement as typed, line breaks and all. Setting it closes the query.
    const QString &sql() const { return m_sql; }
    void setSQL(const QString &text);

    // Prepares the statement (read-only, by the source's rules), counts its rows and makes the
    // first row current. Throws Failure; the query then stays closed.
    void open();
    // A changed row is abandoned: callers that must keep it post first.
    void close();
    bool isOpen() const { return m_state != State::Closed; }
    State state() const { return m_state; }

    const QList<StatementColumn> &columns() const { return m_columns; }
    int columnCount() const { return int(m_columns.size()); }
    int columnIndex(const QString &name) const; // without case; -1 when absent
    bool isUpdatable() const { return m_idColumn >= 0; }

    // The result's rows, and the row being inserted at the end.
    int rowCount() const { return m_rowCount + (m_state == State::Insert ? 1 : 0); }
    // A row's value; the row in edit shows its changed values.
    QVariant value(int row, int column);
    // The ID of a row of an updatable result.
    qint64 rowId(int row);

    int currentRow() const { return m_current; } // -1 when there are no rows
    // Moving away from a row in edit posts it first (a failure keeps the
    // row current and in edit).
    void setCurrentRow(int row);
    void first() { setCurrentRow(0); }
    void prior() { setCurrentRow(m_current - 1); }
    void next() { setCurrentRow(m_current + 1); }
    void last() { setCurrentRow(m_rowCount - 1); }

    // Starts a new row at the end and makes it current.
    void append();
    // Starts editing the current row.
    void edit();
    // Sets a column of the row in edit (starting an edit of the current row
    // when browsing). Throws Failure for a missing column or a result that
    // cannot be changed.
    void setValue(int column, const QVariant &value);
    void setValue(const QString &column, const QVariant &value);
    bool isModified() const;
    // Stores the row in edit in table Data. Throws Failure and keeps the row
    // in edit when the database refuses it.
    void post();
    // Abandons the row in edit; nothing of it is stored.
    void cancel();
    // Posts a changed row, or drops an untouched one.
    void postPending();
    // Deletes the current row from table Data.
    void remove();
    // Reads the rows again (posting a pending change first); the current row
    // stays on the same ID where the result has one.
    void refresh();
    // A row was added to table Data outside this query (a finished test):
    // read the rows again and make that row current if the result shows it.
    // While updates are deferred this waits for setDeferUpdates(false).
    void rowAdded(qint64 id);
    // Deferred while nobody looks at the rows (the grid is hidden): a
    // finished test is then stored without reading the result again.
    void setDeferUpdates(bool defer);

    // Rows held in the page cache; never more than PageSize * MaxCachedPages.
    int cachedRowCount() const;

Q_SIGNALS:
    // Around every change of the rows' number or order.
    void aboutToReset();
    void resetDone();
    void rowChanged(int row);
    void currentRowChanged(int row);
    void stateChanged();

private:
    const QVariantList &rowValues(int row);
    const RowCache::Rows &load(int page);
    void clearResult();
    void reload(qint64 keepId, int fallbackRow);
    int findRow(qint64 id, int hint);
    void requireUpdatable() const;
    void startEdit(State state);
    void endEdit();
    void setState(State state);

    ResultsDatabase &m_con;
    std::unique_ptr<QuerySource> m_source;
    QString m_sql;
    State m_state = State::Closed;
    QList<StatementColumn> m_columns;
    int m_idColumn = -1;
    int m_rowCount = 0;
    int m_current = -1;
    bool m_defer = false;
    bool m_stale = false;
    qint64 m_pendingId = -1;

    RowCache m_cache;

    // The row in edit (or being inserted, at index m_rowCount).
    int m_editRow = -1;
    QVariantList m_buffer;
    QList<bool> m_changed;
};
