#pragma once

// The one connection to the results database (`con`): an SQLite file named by
// the `Data Source` of a connection description. Opening never creates the
// file; every failure throws Failure in the program's words, naming the file,
// with SQLite's own text after them. Our own statements (storing a test,
// editing a row) run on this connection; the examiner's run on `queries()`.

#include "database/QueryConnection.h"

#include <QString>
#include <QVariantList>

struct sqlite3;

class ResultsDatabase
{
public:
    // How long a statement waits for another connection's write lock.
    static constexpr int BusyTimeoutMs = 5000;

    ResultsDatabase() = default;
    ~ResultsDatabase();
    ResultsDatabase(const ResultsDatabase &) = delete;
    ResultsDatabase &operator=(const ResultsDatabase &) = delete;

    void setConnectionString(const QString &text) { m_connectionString = text; }
    const QString &connectionString() const { return m_connectionString; }

    // Opens the file of `Data Source` for reading and writing. A missing file,
    // one that is not an SQLite database holding table Data with its columns,
    // or one we may not write is refused and left byte for byte as it was.
    // Sets WAL (the rollback journal where WAL cannot be had), synchronous
    // FULL and the busy timeout, then opens the query connection.
    void open();
    void close();
    bool isOpen() const { return m_db != nullptr; }

    sqlite3 *handle() const { return m_db; }
    // The read-only connection for statements the examiner types.
    QueryConnection &queries() { return m_queries; }
    QString fileName() const { return m_fileName; }

    // Runs one statement with its values bound (?1, ?2, ...); the number of
    // rows it changed.
    qint64 execute(const QString &statement, const QVariantList &values = {});
    // Runs a script of statements without values (schema, pragmas).
    void executeScript(const QString &script);
    qint64 lastInsertId() const;

    // BEGIN IMMEDIATE ... COMMIT; a transaction not committed is rolled back
    // when it goes out of scope.
    class Transaction
    {
    public:
        explicit Transaction(ResultsDatabase &db);
        ~Transaction();
        Transaction(const Transaction &) = delete;
        Transaction &operator=(const Transaction &) = delete;
        void commit();

    private:
        ResultsDatabase &m_db;
        bool m_open = false;
    };

private:
    void requireOpen() const;
    static void requireResultsTable(sqlite3 *db, const QString &path);
    static void setPragmas(sqlite3 *db, const QString &path);

    QString m_connectionString;
    QString m_fileName;
    sqlite3 *m_db = nullptr;
    QueryConnection m_queries;
};
