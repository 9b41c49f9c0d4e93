#include "database/central/PgResult.h"

#include <libpq-fe.h>

#include <cstdlib>

PgResult::~PgResult()
{
    if (m_result)
        PQclear(m_result);
}

PgResult::PgResult(PgResult &&other) noexcept
    : m_result(std::exchange(other.m_result, nullptr))
{}

PgResult &PgResult::operator=(PgResult &&other) noexcept
{
    if (this != &other) {
        if (m_result)
            PQclear(m_result);
        m_result = std::exchange(other.m_result, nullptr);
    }
    return *this;
}

int PgResult::rowCount() const
{
    return m_result ? PQntuples(m_result) : 0;
}

int PgResult::columnCount() const
{
    return m_result ? PQnfields(m_result) : 0;
}

QString PgResult::columnName(int column) const
{
    return QString::fromUtf8(PQfname(m_result, column));
}

unsigned PgResult::columnType(int column) const
{
    return PQftype(m_result, column);
}

int PgResult::columnModifier(int column) const
{
    return PQfmod(m_result, column);
}

unsigned PgResult::columnTable(int column) const
{
    return PQftable(m_result, column);
}

qint64 PgResult::affectedRows() const
{
    const char *count = m_result ? PQcmdTuples(m_result) : "";
    return *count ? std::strtoll(count, nullptr, 10) : 0;
}

bool PgResult::isNull(int row, int column) const
{
    return PQgetisnull(m_result, row, column) != 0;
}

QString PgResult::text(int row, int column) const
{
    return QString::fromUtf8(PQgetvalue(m_result, row, column), PQgetlength(m_result, row, column));
}

QVariant PgResult::value(int row, int column) const
{
    if (isNull(row, column))
        return {};
    return fromText(columnType(column), PQgetvalue(m_result, row, column), PQgetlength(m_result, row, column));
}

QVariantList PgResult::values(int row) const
{
    QVariantList values;
    const int columns = columnCount();
    values.reserve(columns);
    for (int c = 0; c < columns; ++c)
        values << value(row, c);
    return values;
}

QVariant PgResult::fromText(unsigned oid, const char *text, int length)
{
    switch (oid) {
    case BoolOid: return qlonglong(text[0] == 't' ? 1 : 0);
    case Int8Oid:
    case Int2Oid:
    case Int4Oid:
    case OidOid: return qlonglong(std::strtoll(text, nullptr, 10));
    case Float4Oid:
    case Float8Oid:
    case NumericOid:
        // The server writes doubles in the shortest text that reads back exactly.
        return std::strtod(text, nullptr);
    default: return QString::fromUtf8(text, length);
    }
}
