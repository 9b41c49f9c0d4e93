#include "database/Statement.h"

#include "common/Failure.h"
#include "database/SqliteValues.h"

#include <sqlite3.h>

#include <utility>

Statement::Statement(sqlite3 *db, const QString &sql, qsizetype *tail)
{
    if (!db)
        throw Failure(QStringLiteral("Veza s bazom podataka nije otvorena."));
    const QByteArray text = sql.toUtf8();
    const char *rest = nullptr;
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &m_stmt, &rest) != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        throw Failure(SqliteValues::errorText(db));
    }
    if (tail)
        *tail = rest ? rest - text.constData() : text.size();
}

Statement::Statement(sqlite3 *db, const QString &sql, const QVariantList &values)
    : Statement(db, sql)
{
    bindAll(values);
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

Statement::Statement(Statement &&other) noexcept
    : m_stmt(std::exchange(other.m_stmt, nullptr))
{}

Statement &Statement::operator=(Statement &&other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_stmt);
        m_stmt = std::exchange(other.m_stmt, nullptr);
    }
    return *this;
}

sqlite3 *Statement::database() const
{
    return m_stmt ? sqlite3_db_handle(m_stmt) : nullptr;
}

void Statement::check(int rc) const
{
    if (rc != SQLITE_OK)
        throw Failure(SqliteValues::errorText(database()));
}

int Statement::parameterCount() const
{
    return m_stmt ? sqlite3_bind_parameter_count(m_stmt) : 0;
}

void Statement::bindNull(int index)
{
    check(sqlite3_bind_null(m_stmt, index));
}

void Statement::bind(int index, qint64 value)
{
    check(sqlite3_bind_int64(m_stmt, index, value));
}

void Statement::bind(int index, double value)
{
    check(sqlite3_bind_double(m_stmt, index, value));
}

void Statement::bind(int index, const QString &value)
{
    const QByteArray text = value.toUtf8();
    check(sqlite3_bind_text64(m_stmt, index, text.constData(), sqlite3_uint64(text.size()), SQLITE_TRANSIENT,
                              SQLITE_UTF8));
}

void Statement::bind(int index, const QByteArray &value)
{
    check(sqlite3_bind_blob64(m_stmt, index, value.constData(), sqlite3_uint64(value.size()), SQLITE_TRANSIENT));
}

void Statement::bind(int index, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return bindNull(index);
    switch (value.typeId()) {
    case QMetaType::Bool: return bind(index, qint64(value.toBool() ? 1 : 0));
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort: return bind(index, qint64(value.toLongLong()));
    case QMetaType::Double:
    case QMetaType::Float: return bind(index, value.toDouble());
    case QMetaType::QByteArray: return bind(index, value.toByteArray());
    default: return bind(index, value.toString());
    }
}

void Statement::bindAll(const QVariantList &values)
{
    if (parameterCount() != values.size())
        throw Failure(
            QStringLiteral("Naredba traži %1 vrijednosti, dano ih je %2.").arg(parameterCount()).arg(values.size()));
    for (int i = 0; i < values.size(); ++i)
        bind(i + 1, values[i]);
}

bool Statement::step()
{
    if (!m_stmt)
        return false;
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    // The message first: resetting keeps the code but may rewrite the text.
    const QString text = SqliteValues::errorText(database());
    sqlite3_reset(m_stmt);
    throw Failure(text);
}

qint64 Statement::run()
{
    while (step()) {
    }
    return m_stmt ? sqlite3_changes64(database()) : 0;
}

void Statement::reset()
{
    // The code reset returns repeats a failure step already reported.
    if (m_stmt)
        sqlite3_reset(m_stmt);
}

void Statement::clearBindings()
{
    if (m_stmt)
        sqlite3_clear_bindings(m_stmt);
}

int Statement::columnCount() const
{
    return m_stmt ? sqlite3_column_count(m_stmt) : 0;
}

QVariant Statement::value(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER: return QVariant(qlonglong(sqlite3_column_int64(m_stmt, column)));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(m_stmt, column));
    case SQLITE_TEXT: return QVariant(text(column));
    case SQLITE_BLOB: {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(m_stmt, column));
        return QVariant(QByteArray(data, sqlite3_column_bytes(m_stmt, column)));
    }
    default: return {};
    }
}

QVariantList Statement::values() const
{
    QVariantList row;
    const int n = columnCount();
    row.reserve(n);
    for (int c = 0; c < n; ++c)
        row << value(c);
    return row;
}

qint64 Statement::int64(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

QString Statement::text(int column) const
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, column));
}
