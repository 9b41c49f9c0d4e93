#pragma once

// Statements the examiner types, run on the central database: read-only by
// the server's own rules as well as ours. The statement must begin with
// "select" (the SQL window's rule), runs alone (libpq's extended protocol
// takes one statement, so "; DELETE ..." is refused by the server), inside a
// READ ONLY transaction with a statement timeout, and under the analysis
// role when the user may take it. Its rows stream through a server cursor,
// a fetch at a time, never the whole result in memory.

#include "database/central/PgConnection.h"
#include "database/export/Exporter.h"

#include <QString>

#include <memory>

namespace CentralQuery {

// How long one statement may run on the server.
constexpr int StatementTimeoutSeconds = 120;
// Rows per fetch from the server.
constexpr int FetchSize = 2000;

// Starts what every typed statement runs in: the read-only transaction (one
// snapshot for all of it), the timeout and the analysis role. Checks the
// select rule first. Throws Failure.
std::unique_ptr<PgConnection::Transaction> begin(PgConnection &con, const QString &statement);

// The statement without its trailing semicolons and blanks, as a cursor takes it.
QString cursorText(const QString &statement);

// One walk over the rows of `statement` through a cursor of its own, inside
// the caller's transaction (walks may overlap).
class Cursor : public ExportRows::Cursor
{
public:
    Cursor(PgConnection &con, const QString &statement);
    ~Cursor() override;
    // The result of the first fetch (its columns describe the statement).
    const PgResult &batch() const { return m_batch; }
    bool next(QVariantList &row) override;

private:
    PgConnection &m_con;
    QString m_name;
    PgResult m_batch;
    int m_row = 0;
    bool m_open = false;
};

// The export column of a result's column: its station spelling, the type
// the server's type stands for and, for varchar(n), its width n.
ExportColumn column(const PgResult &result, int c);

// The rows of `statement` for an export, walked through a cursor each time
// (the caller holds the transaction of begin() open while exporting): a type
// and a width per column from the server's types, the widths of text columns
// measured in a first walk that also counts the rows. Column names are
// spelt as on a station ("Items", not "items").
ExportData exportData(PgConnection &con, const QString &statement, const QString &tableName);

} // namespace CentralQuery
