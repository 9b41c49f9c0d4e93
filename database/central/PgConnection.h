#pragma once

// One connection to a PostgreSQL server through libpq, closed when it goes
// out of scope. It is opened from a libpq connection string or URI
// ("host=db.example port=5432 dbname=kalvestrin user=station sslmode=require"
// or "postgresql://station@db.example/kalvestrin"); the password comes from
// libpq's password file (~/.pgpass or PGPASSFILE), never from our settings.
// Every call that can fail throws CentralFailure in the program's words.
//
// Values are bound, never spliced into a statement: $1, $2 ... take a
// QVariantList whose entries keep their type (qlonglong and int as bigint,
// double as double precision written to 17 digits, bool as boolean, QString
// as text, an invalid QVariant as NULL).

#include "database/central/PgResult.h"

#include <QString>
#include <QVariantList>

struct pg_conn;

class PgConnection
{
public:
    // How long opening waits for a server that does not answer, unless the
    // connection string says otherwise.
    static constexpr int ConnectTimeoutSeconds = 5;

    PgConnection() = default;
    // Opens at once; throws CentralFailure.
    explicit PgConnection(const QString &conninfo);
    ~PgConnection();
    PgConnection(PgConnection &&other) noexcept;
    PgConnection &operator=(PgConnection &&other) noexcept;
    PgConnection(const PgConnection &) = delete;
    PgConnection &operator=(const PgConnection &) = delete;

    void open(const QString &conninfo);
    void close();
    bool isOpen() const { return m_conn != nullptr; }
    // Open, and libpq has not seen the connection break.
    bool isUsable() const;
    pg_conn *handle() const { return m_conn; }

    // Where the connection goes, for messages: "host:port" or the socket folder.
    const QString &server() const { return m_server; }
    QString user() const;

    // Runs one statement with its values bound to $1, $2 ...
    PgResult exec(const QString &sql, const QVariantList &values = {});
    // Runs statements separated by semicolons, without values (schema, settings).
    void execScript(const QString &sql);

    // BEGIN ... COMMIT; a transaction not committed is rolled back when it
    // goes out of scope. ReadOnly also takes one snapshot for the whole
    // transaction, so every walk over a result sees the same rows.
    class Transaction
    {
    public:
        enum class Mode { ReadWrite, ReadOnly };
        explicit Transaction(PgConnection &connection, Mode mode = Mode::ReadWrite);
        ~Transaction();
        Transaction(const Transaction &) = delete;
        Transaction &operator=(const Transaction &) = delete;
        void commit();

    private:
        PgConnection &m_connection;
        bool m_open = false;
    };

    // Where a connection string points, for messages, without opening it.
    static QString serverOf(const QString &conninfo);

private:
    void requireOpen() const;
    PgResult checked(pg_result *result);

    pg_conn *m_conn = nullptr;
    QString m_server;
};
