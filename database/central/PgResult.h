#pragma once

// One result of a statement on the PostgreSQL server (a PGresult), cleared
// when it goes out of scope. Values come in libpq's text form and are turned
// into what the SQLite layer gives for the same column: NULL an invalid
// QVariant, integers qlonglong, double precision and real double (read back
// exactly), boolean qlonglong 0 or 1, numeric double, anything else QString.

#include <QString>
#include <QVariant>
#include <QVariantList>

struct pg_result;

// The built-in type OIDs of pg_type (fixed since the first catalogue) that
// the program tells apart.
enum PgTypeOid : unsigned {
    BoolOid = 16,
    Int8Oid = 20,
    Int2Oid = 21,
    Int4Oid = 23,
    TextOid = 25,
    OidOid = 26,
    Float4Oid = 700,
    Float8Oid = 701,
    VarcharOid = 1043,
    NumericOid = 1700,
};

class PgResult
{
public:
    PgResult() = default;
    explicit PgResult(pg_result *result)
        : m_result(result)
    {}
    ~PgResult();
    PgResult(PgResult &&other) noexcept;
    PgResult &operator=(PgResult &&other) noexcept;
    PgResult(const PgResult &) = delete;
    PgResult &operator=(const PgResult &) = delete;

    pg_result *handle() const { return m_result; }
    int rowCount() const;
    int columnCount() const;
    QString columnName(int column) const;
    // The column's type OID and its modifier (varchar(n) holds n + 4).
    unsigned columnType(int column) const;
    int columnModifier(int column) const;
    // The table a column comes straight from (0 for an expression).
    unsigned columnTable(int column) const;
    // Rows an INSERT, UPDATE or DELETE changed.
    qint64 affectedRows() const;

    bool isNull(int row, int column) const;
    QString text(int row, int column) const;
    QVariant value(int row, int column) const;
    QVariantList values(int row) const;

    // A value of a column of type `oid` given in libpq's text form.
    static QVariant fromText(unsigned oid, const char *text, int length);

private:
    pg_result *m_result = nullptr;
};
