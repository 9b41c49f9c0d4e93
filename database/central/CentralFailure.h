#pragma once

// Why the central database on the PostgreSQL server did not do what was
// asked, in the program's own words. libpq and the server speak English and
// in codes; the user is told what happened plainly ("the server cannot be
// reached", "the password was not accepted") and the server's text is kept
// aside for a log or a detail line.

#include "common/Failure.h"

struct pg_conn;
struct pg_result;

class CentralFailure : public Failure
{
public:
    enum class Reason {
        Unreachable,      // no server answers at the address (down, wrong host or port, no network)
        WrongPassword,    // the server refused the password (or the user)
        NoPassword,       // the server wants a password and the password file has none
        TlsRefused,       // the encrypted connection sslmode asks for cannot be had or checked
        NoDatabase,       // no such database on the server
        PermissionDenied, // the role may not do this
        ReadOnly,         // a write in a read-only transaction
        Timeout,          // the statement ran past statement_timeout
        Lost,             // the connection broke during the work
        Refused,          // the server refused the statement or its values
        Other,
    };

    CentralFailure(Reason reason, const QString &server, const QString &detail = {});

    // From a connection that failed to open or a statement that failed on it
    // (`result` may be null: libpq then only has the connection's message).
    static CentralFailure fromConnection(pg_conn *conn, const QString &server);
    static CentralFailure fromResult(pg_conn *conn, const pg_result *result, const QString &server);
    // The reason a message of libpq (or SQLSTATE `state`, when known) stands for.
    static Reason classify(const QString &message, const QString &state);

    Reason reason() const { return m_reason; }
    // What the server or libpq said, unchanged.
    const QString &detail() const { return m_detail; }
    // Sending again later may succeed: the server or the connection was away.
    bool canSucceedLater() const
    {
        return m_reason == Reason::Unreachable || m_reason == Reason::Lost || m_reason == Reason::Timeout;
    }

    static QString describe(Reason reason, const QString &server, const QString &detail);

private:
    Reason m_reason;
    QString m_detail;
};
