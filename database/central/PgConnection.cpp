#include "database/central/PgConnection.h"

#include "database/central/CentralFailure.h"

#include <libpq-fe.h>

#include <utility>
#include <vector>

namespace {

// Parameter type OIDs; text goes as "unknown" so the server takes it as the
// type the statement needs there (varchar, jsonb, ...).
enum : unsigned { UnknownOid = 0, BoolOid = 16, Int8Oid = 20, Float8Oid = 701 };

// The notices a server sends (a table that already exists, ...) are not for the user.
void ignoreNotice(void *, const char *) {}

struct BoundValues
{
    std::vector<QByteArray> texts;
    std::vector<Oid> types;
    std::vector<const char *> pointers;
};

BoundValues bind(const QVariantList &values)
{
    BoundValues bound;
    bound.texts.reserve(values.size());
    for (const QVariant &v : values) {
        Oid type = UnknownOid;
        QByteArray text;
        if (!v.isValid() || v.isNull()) {
            bound.types.push_back(UnknownOid);
            bound.texts.emplace_back();
            continue;
        }
        switch (v.typeId()) {
        case QMetaType::Bool:
            type = BoolOid;
            text = v.toBool() ? "t" : "f";
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::Short:
            type = Int8Oid;
            text = QByteArray::number(v.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            type = Float8Oid;
            // 17 significant digits read back to the same double.
            text = QByteArray::number(v.toDouble(), 'g', 17);
            break;
        case QMetaType::QByteArray: text = v.toByteArray(); break;
        default: text = v.toString().toUtf8(); break;
        }
        bound.types.push_back(type);
        bound.texts.push_back(text);
    }
    for (std::size_t i = 0; i < bound.texts.size(); ++i) {
        const QVariant &v = values[qsizetype(i)];
        bound.pointers.push_back(!v.isValid() || v.isNull() ? nullptr : bound.texts[i].constData());
    }
    return bound;
}

} // namespace

PgConnection::PgConnection(const QString &conninfo)
{
    open(conninfo);
}

PgConnection::~PgConnection()
{
    close();
}

PgConnection::PgConnection(PgConnection &&other) noexcept
    : m_conn(std::exchange(other.m_conn, nullptr))
    , m_server(std::move(other.m_server))
{}

PgConnection &PgConnection::operator=(PgConnection &&other) noexcept
{
    if (this != &other) {
        close();
        m_conn = std::exchange(other.m_conn, nullptr);
        m_server = std::move(other.m_server);
    }
    return *this;
}

void PgConnection::open(const QString &conninfo)
{
    close();
    const QByteArray info = conninfo.toUtf8();
    const QByteArray timeout = QByteArray::number(ConnectTimeoutSeconds);
    // What comes from the connection string (the expanded dbname) overrides
    // the defaults before it; the encoding after it is not the user's to choose.
    const char *keywords[] = {"connect_timeout", "application_name", "dbname", "client_encoding", nullptr};
    const char *values[] = {timeout.constData(), "kalvestrin", info.constData(), "UTF8", nullptr};
    PGconn *conn = PQconnectdbParams(keywords, values, 1);
    if (!conn)
        throw CentralFailure(CentralFailure::Reason::Other, serverOf(conninfo), QStringLiteral("out of memory"));
    m_server = conn && PQhost(conn) && *PQhost(conn)
                   ? QStringLiteral("%1:%2").arg(QString::fromUtf8(PQhost(conn)), QString::fromUtf8(PQport(conn)))
                   : serverOf(conninfo);
    if (PQstatus(conn) != CONNECTION_OK) {
        const CentralFailure failure = CentralFailure::fromConnection(conn, m_server);
        PQfinish(conn);
        throw failure;
    }
    PQsetNoticeProcessor(conn, ignoreNotice, nullptr);
    m_conn = conn;
}

void PgConnection::close()
{
    if (m_conn)
        PQfinish(m_conn);
    m_conn = nullptr;
}

bool PgConnection::isUsable() const
{
    return m_conn && PQstatus(m_conn) == CONNECTION_OK;
}

QString PgConnection::user() const
{
    return m_conn ? QString::fromUtf8(PQuser(m_conn)) : QString();
}

void PgConnection::requireOpen() const
{
    if (!m_conn)
        throw CentralFailure(CentralFailure::Reason::Lost, m_server, QStringLiteral("not connected"));
}

PgResult PgConnection::checked(pg_result *result)
{
    PgResult owned(result);
    const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK || status == PGRES_EMPTY_QUERY)
        return owned;
    throw CentralFailure::fromResult(m_conn, result, m_server);
}

PgResult PgConnection::exec(const QString &sql, const QVariantList &values)
{
    requireOpen();
    const QByteArray text = sql.toUtf8();
    if (values.isEmpty())
        return checked(PQexecParams(m_conn, text.constData(), 0, nullptr, nullptr, nullptr, nullptr, 0));
    const BoundValues bound = bind(values);
    return checked(PQexecParams(m_conn, text.constData(), int(values.size()), bound.types.data(), bound.pointers.data(),
                                nullptr, nullptr, 0));
}

void PgConnection::execScript(const QString &sql)
{
    requireOpen();
    checked(PQexec(m_conn, sql.toUtf8().constData()));
}

QString PgConnection::serverOf(const QString &conninfo)
{
    char *error = nullptr;
    PQconninfoOption *options = PQconninfoParse(conninfo.toUtf8().constData(), &error);
    if (error)
        PQfreemem(error);
    QString host, port;
    for (PQconninfoOption *o = options; o && o->keyword; ++o) {
        if (!o->val)
            continue;
        if (qstrcmp(o->keyword, "host") == 0 || (host.isEmpty() && qstrcmp(o->keyword, "hostaddr") == 0))
            host = QString::fromUtf8(o->val);
        else if (qstrcmp(o->keyword, "port") == 0)
            port = QString::fromUtf8(o->val);
    }
    if (options)
        PQconninfoFree(options);
    return QStringLiteral("%1:%2").arg(host.isEmpty() ? QStringLiteral("localhost") : host,
                                       port.isEmpty() ? QStringLiteral("5432") : port);
}

PgConnection::Transaction::Transaction(PgConnection &connection, Mode mode)
    : m_connection(connection)
{
    m_connection.execScript(mode == Mode::ReadOnly ? QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY")
                                                   : QStringLiteral("BEGIN"));
    m_open = true;
}

PgConnection::Transaction::~Transaction()
{
    // A broken connection has rolled back on the server already.
    if (m_open && m_connection.isUsable())
        PQclear(PQexec(m_connection.m_conn, "ROLLBACK"));
}

void PgConnection::Transaction::commit()
{
    m_open = false;
    m_connection.execScript(QStringLiteral("COMMIT"));
}
