#pragma once

// The connection the examiner's statements run on (the SQL window, the grid's
// result set, the tool's query and the export): the results database opened
// read-only with query_only set, so nothing that compiles as a select can
// write (a table-valued pragma such as pragma_optimize would run ANALYZE).
// An authorizer lets through only reading, recursive queries and the
// functions and pragmas of an allow-list (fts3_tokenizer would give away a
// memory address), and a progress handler lets a caller stop a runaway
// statement.

#include <QString>

#include <functional>

struct sqlite3;

class QueryConnection
{
public:
    QueryConnection() = default;
    ~QueryConnection();
    QueryConnection(const QueryConnection &) = delete;
    QueryConnection &operator=(const QueryConnection &) = delete;

    // Opens `path`, which another connection has already checked. Throws Failure.
    void open(const QString &path);
    void close();
    sqlite3 *handle() const { return m_db; }

    // While set, a running statement calls `stop` every few thousand steps;
    // true ends the statement with a Failure saying it was stopped.
    void setStopCheck(std::function<bool()> stop) { m_stop = std::move(stop); }

private:
    static int authorize(void *self, int action, const char *a, const char *b, const char *database,
                         const char *trigger);
    static int progress(void *self);

    sqlite3 *m_db = nullptr;
    std::function<bool()> m_stop;
};
