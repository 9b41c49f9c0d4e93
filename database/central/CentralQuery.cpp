#include "database/central/CentralQuery.h"

#include "common/Failure.h"
#include "database/SelectRule.h"
#include "database/central/CentralSchema.h"
#include "database/central/CentralStore.h"

#include <atomic>

namespace {

const QString RowsChanged = QStringLiteral("ExportTable: the rows changed while they were exported.");

} // namespace

ExportColumn CentralQuery::column(const PgResult &result, int c)
{
    ExportColumn column;
    column.name = CentralStore::stationSpelling(result.columnName(c));
    switch (result.columnType(c)) {
    case BoolOid:
        column.type = ExportColumnType::Boolean;
        column.declaredType = QStringLiteral("BOOLEAN");
        break;
    case Int2Oid:
    case Int4Oid:
    case Int8Oid:
        column.type = ExportColumnType::Integer;
        column.declaredType = QStringLiteral("INTEGER");
        break;
    case Float4Oid:
    case Float8Oid:
    case NumericOid:
        column.type = ExportColumnType::Double;
        column.declaredType = QStringLiteral("DOUBLE");
        break;
    case VarcharOid:
        column.declaredType = result.columnModifier(c) > 4
                                  ? QStringLiteral("VARCHAR(%1)").arg(result.columnModifier(c) - 4)
                                  : QStringLiteral("TEXT");
        column.width = std::max(0, result.columnModifier(c) - 4);
        break;
    case TextOid: column.declaredType = QStringLiteral("TEXT"); break;
    default: break;
    }
    return column;
}

namespace {

// A value as its column's type has it: booleans come from the server as 0 or 1.
void convert(QVariant &v, ExportColumnType type)
{
    if (!v.isValid())
        return;
    if (type == ExportColumnType::Boolean)
        v = v.toLongLong() != 0;
    else if (type == ExportColumnType::Text && v.typeId() != QMetaType::QString)
        v = v.toString();
}

class ConvertingCursor : public ExportRows::Cursor
{
public:
    ConvertingCursor(PgConnection &con, const QString &statement, QList<ExportColumn> columns, std::size_t count)
        : m_cursor(con, statement)
        , m_columns(std::move(columns))
        , m_count(count)
    {}
    bool next(QVariantList &row) override
    {
        if (!m_cursor.next(row)) {
            if (m_read != m_count)
                throw Failure(RowsChanged);
            return false;
        }
        if (++m_read > m_count || row.size() != m_columns.size())
            throw Failure(RowsChanged);
        for (qsizetype c = 0; c < row.size(); ++c)
            convert(row[c], m_columns[c].type);
        return true;
    }

private:
    CentralQuery::Cursor m_cursor;
    const QList<ExportColumn> m_columns;
    std::size_t m_count;
    std::size_t m_read = 0;
};

} // namespace

std::unique_ptr<PgConnection::Transaction> CentralQuery::begin(PgConnection &con, const QString &statement)
{
    if (!SelectRule::beginsWithSelect(SelectRule::trimmed(statement)))
        throw Failure(SelectRule::NotSelectText);
    auto transaction = std::make_unique<PgConnection::Transaction>(con, PgConnection::Transaction::Mode::ReadOnly);
    con.execScript(QStringLiteral("SET LOCAL statement_timeout = '%1s'").arg(StatementTimeoutSeconds));
    // A login that may act as the analysis role reads with its rights alone.
    const PgResult member = con.exec(QStringLiteral("SELECT pg_has_role(current_user, oid, 'MEMBER') FROM pg_roles "
                                                    "WHERE rolname = $1"),
                                     {CentralSchema::AnalysisRole});
    if (member.rowCount() == 1 && member.text(0, 0) == QLatin1String("t"))
        con.execScript(QStringLiteral("SET LOCAL ROLE ") + CentralSchema::AnalysisRole);
    return transaction;
}

QString CentralQuery::cursorText(const QString &statement)
{
    QString text = SelectRule::trimmed(statement);
    while (text.endsWith(QLatin1Char(';')))
        text = SelectRule::trimmed(text.chopped(1));
    return text;
}

CentralQuery::Cursor::Cursor(PgConnection &con, const QString &statement)
    : m_con(con)
{
    static std::atomic<int> cursors{0};
    m_name = QStringLiteral("kalvestrin_rows_%1").arg(++cursors);
    // The statement stays one statement: the cursor's text cannot end it and begin another.
    m_con.exec(QStringLiteral("DECLARE %1 NO SCROLL CURSOR FOR %2").arg(m_name, cursorText(statement)));
    m_open = true;
    m_batch = m_con.exec(QStringLiteral("FETCH %1 FROM %2").arg(FetchSize).arg(m_name));
}

CentralQuery::Cursor::~Cursor()
{
    if (m_open && m_con.isUsable()) {
        try {
            m_con.exec(QStringLiteral("CLOSE ") + m_name);
        } catch (const Failure &) {
        }
    }
}

bool CentralQuery::Cursor::next(QVariantList &row)
{
    if (m_row == m_batch.rowCount()) {
        if (m_batch.rowCount() < FetchSize)
            return false;
        m_batch = m_con.exec(QStringLiteral("FETCH %1 FROM %2").arg(FetchSize).arg(m_name));
        m_row = 0;
        if (m_batch.rowCount() == 0)
            return false;
    }
    row = m_batch.values(m_row++);
    return true;
}

ExportData CentralQuery::exportData(PgConnection &con, const QString &statement, const QString &tableName)
{
    ExportData data;
    data.tableName = tableName;
    std::size_t count = 0;
    // What the formats' checks need of each column is gathered in the same walk.
    std::vector<ColumnSummary> summary;
    {
        Cursor first(con, statement);
        for (int c = 0; c < first.batch().columnCount(); ++c)
            data.columns << column(first.batch(), c);
        summary.resize(std::size_t(data.columns.size()));
        QList<int> measured;
        for (int c = 0; c < data.columns.size(); ++c) {
            if (data.columns[c].type == ExportColumnType::Text && data.columns[c].width == 0)
                measured << c;
        }
        QVariantList row;
        while (first.next(row)) {
            for (int c = 0; c < row.size() && c < data.columns.size(); ++c)
                summary[std::size_t(c)].add(row[c], count);
            ++count;
            for (int c : measured) {
                if (row[c].isValid())
                    data.columns[c].width = std::max(data.columns[c].width, int(row[c].toString().size()));
            }
        }
        // Numbers in a text column are written as text too.
        for (int c : measured)
            summary[std::size_t(c)].longestText = std::max(summary[std::size_t(c)].longestText, data.columns[c].width);
        for (ExportColumn &column : data.columns) {
            if (column.type == ExportColumnType::Text)
                column.width = std::max(1, column.width);
        }
    }
    data.rows = ExportRows(
        count,
        [&con, statement, columns = data.columns, count] {
            return std::make_unique<ConvertingCursor>(con, statement, columns, count);
        },
        std::move(summary));
    return data;
}
