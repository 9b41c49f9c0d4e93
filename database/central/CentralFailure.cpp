#include "database/central/CentralFailure.h"

#include <libpq-fe.h>

CentralFailure::CentralFailure(Reason reason, const QString &server, const QString &detail)
    : Failure(describe(reason, server, detail))
    , m_reason(reason)
    , m_detail(detail)
{}

QString CentralFailure::describe(Reason reason, const QString &server, const QString &detail)
{
    switch (reason) {
    case Reason::Unreachable:
        return QStringLiteral("Poslužitelj baze podataka %1 nije dostupan: nije uključen, adresa nije točna ili "
                              "mreža ne radi.")
            .arg(server);
    case Reason::WrongPassword:
        return QStringLiteral("Poslužitelj baze podataka %1 nije prihvatio korisničko ime ili lozinku.").arg(server);
    case Reason::NoPassword:
        return QStringLiteral("Poslužitelj baze podataka %1 traži lozinku, a datoteka lozinki (.pgpass) je nema.")
            .arg(server);
    case Reason::TlsRefused:
        return QStringLiteral("S poslužiteljem baze podataka %1 nije moguće uspostaviti provjerenu šifriranu vezu "
                              "(TLS) koju traži postavka sslmode.")
            .arg(server);
    case Reason::NoDatabase: return QStringLiteral("Na poslužitelju %1 nema tražene baze podataka.").arg(server);
    case Reason::PermissionDenied:
        return QStringLiteral("Korisnik nema pravo na ovu radnju u središnjoj bazi podataka (%1).").arg(server);
    case Reason::ReadOnly: return QStringLiteral("Naredbe nad središnjom bazom podataka smiju samo čitati podatke.");
    case Reason::Timeout: return QStringLiteral("Naredba je prekinuta jer je trajala predugo.");
    case Reason::Lost: return QStringLiteral("Veza s poslužiteljem baze podataka %1 je prekinuta.").arg(server);
    case Reason::Refused: return QStringLiteral("Središnja baza podataka nije prihvatila naredbu (%1).").arg(detail);
    case Reason::Other: break;
    }
    return QStringLiteral("Pogreška središnje baze podataka na poslužitelju %1 (%2).").arg(server, detail);
}

CentralFailure::Reason CentralFailure::classify(const QString &message, const QString &state)
{
    if (state == QLatin1String("28P01"))
        return Reason::WrongPassword;
    if (state == QLatin1String("3D000"))
        return Reason::NoDatabase;
    if (state == QLatin1String("42501"))
        return Reason::PermissionDenied;
    if (state == QLatin1String("25006"))
        return Reason::ReadOnly;
    if (state == QLatin1String("57014"))
        return Reason::Timeout;
    if (state.startsWith(QLatin1String("08")) || state == QLatin1String("57P01"))
        return Reason::Lost;
    if (!state.isEmpty() && state != QLatin1String("28000"))
        return Reason::Refused;
    // Failures while connecting come without a state: libpq's own words.
    auto has = [&](const char *text) { return message.contains(QLatin1String(text), Qt::CaseInsensitive); };
    if (has("password authentication failed") || has("authentication failed"))
        return Reason::WrongPassword;
    if (has("no password supplied"))
        return Reason::NoPassword;
    if (has("SSL") || has("certificate") || has("GSSAPI encryption"))
        return Reason::TlsRefused;
    if (has("database \"") && has("does not exist"))
        return Reason::NoDatabase;
    if (has("permission denied") || has("no pg_hba.conf entry") || has("role \""))
        return has("role \"") ? Reason::WrongPassword : Reason::PermissionDenied;
    if (has("server closed the connection") || has("terminating connection") || has("no connection to the server") ||
        has("connection to server was lost") || has("could not receive data") || has("could not send data"))
        return Reason::Lost;
    if (has("Connection refused") || has("No such file or directory") || has("could not translate host name") ||
        has("timeout expired") || has("Network is unreachable") || has("No route to host") ||
        has("could not connect") || has("the database system is") || has("Connection timed out"))
        return Reason::Unreachable;
    return Reason::Other;
}

CentralFailure CentralFailure::fromConnection(pg_conn *conn, const QString &server)
{
    return fromResult(conn, nullptr, server);
}

CentralFailure CentralFailure::fromResult(pg_conn *conn, const pg_result *result, const QString &server)
{
    QString message;
    QString state;
    if (result) {
        message = QString::fromUtf8(PQresultErrorMessage(result)).trimmed();
        state = QString::fromLatin1(PQresultErrorField(result, PG_DIAG_SQLSTATE));
    }
    if (message.isEmpty() && conn)
        message = QString::fromUtf8(PQerrorMessage(conn)).trimmed();
    Reason reason = classify(message, state);
    // A statement that failed because the connection went away has no state.
    if (conn && PQstatus(conn) == CONNECTION_BAD && (reason == Reason::Other || reason == Reason::Unreachable) &&
        result)
        reason = Reason::Lost;
    return CentralFailure(reason, server, message);
}
