#include "database/export/ExportData.h"

#include "common/Failure.h"
#include "database/ReadOnlyStatement.h"

#include <QLocale>

namespace {

// What the values of a column are, whatever it was declared as.
enum class FoundKind { None, Integer, Double, Text };

FoundKind kindOf(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::UnknownType: return FoundKind::None;
    case QMetaType::LongLong: return FoundKind::Integer;
    case QMetaType::Double: return FoundKind::Double;
    default: return FoundKind::Text;
    }
}

struct Declared
{
    bool known = false;
    ExportColumnType type = ExportColumnType::Text;
    int width = 0;
};

// What a declaration says, read by the same rule as the grid reads it; a
// declaration that names no type this knows ("BLOB", "NUMERIC") leaves the
// type to the values.
Declared fromDeclaration(const QString &declaredType)
{
    const QString t = declaredType.toUpper();
    StatementColumn column;
    column.declaredType = declaredType;
    Declared d;
    d.known = true;
    switch (column.kind()) {
    case ValueKind::Integer: d.type = ExportColumnType::Integer; break;
    case ValueKind::Boolean: d.type = ExportColumnType::Boolean; break;
    case ValueKind::Double: d.type = ExportColumnType::Double; break;
    case ValueKind::Text:
        if (t.startsWith(QLatin1String("BIT"))) {
            d.type = ExportColumnType::Boolean;
        } else if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("TEXT")) ||
                   t.contains(QLatin1String("CLOB")) || t.contains(QLatin1String("MEMO"))) {
            d.type = ExportColumnType::Text;
            d.width = column.maxLength();
        } else {
            d.known = false;
        }
        break;
    }
    return d;
}

QString textOf(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::LongLong: return QString::number(v.toLongLong());
    case QMetaType::Double: return QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::QByteArray: return QString::fromUtf8(v.toByteArray());
    default: return v.toString();
    }
}

// What one walk over a column's values found.
struct ColumnStats
{
    bool anyInteger = false, anyDouble = false, anyText = false, onlyZeroOne = true;
    bool numbersUnmeasured = false; // numbers not measured as text (see add)
    int longest = 0;                // in characters, of the values as text
};

void add(ColumnStats &s, const QVariant &v, bool mayBeText)
{
    switch (kindOf(v)) {
    case FoundKind::None: return;
    case FoundKind::Integer:
        s.anyInteger = true;
        s.onlyZeroOne = s.onlyZeroOne && (v.toLongLong() == 0 || v.toLongLong() == 1);
        break;
    case FoundKind::Double: s.anyDouble = true; break;
    case FoundKind::Text:
        s.anyText = true;
        s.longest = std::max(s.longest, int(v.typeId() == QMetaType::QString ? v.toString().size() : textOf(v).size()));
        return;
    }
    // Writing every number as text only to measure it would slow the common
    // numeric column; a column declared numeric measures them only if a text
    // turns up, in a walk of its own.
    if (mayBeText || s.anyText)
        s.longest = std::max(s.longest, int(textOf(v).size()));
    else
        s.numbersUnmeasured = true;
}

// The column's type: a declared type holds only while every value fits it (the
// table does not enforce its declarations, and a value is never changed to fit
// a column); otherwise the type its values have.
ExportColumnType typeOf(const ColumnStats &s, const Declared &declared)
{
    ExportColumnType fromValues = ExportColumnType::Text;
    if (!s.anyText && s.anyDouble)
        fromValues = ExportColumnType::Double;
    else if (!s.anyText && s.anyInteger)
        fromValues = ExportColumnType::Integer;
    if (!declared.known)
        return fromValues;
    switch (declared.type) {
    case ExportColumnType::Integer: return !s.anyText && !s.anyDouble ? ExportColumnType::Integer : fromValues;
    case ExportColumnType::Boolean:
        return !s.anyText && !s.anyDouble && s.onlyZeroOne ? ExportColumnType::Boolean : fromValues;
    case ExportColumnType::Double: return !s.anyText ? ExportColumnType::Double : fromValues;
    case ExportColumnType::Text: break;
    }
    return ExportColumnType::Text;
}

// A value as its column's type has it; false when it does not fit (the rows
// changed since the column was settled).
bool convert(QVariant &v, ExportColumnType type)
{
    if (!v.isValid())
        return true;
    switch (type) {
    case ExportColumnType::Integer: return v.typeId() == QMetaType::LongLong;
    case ExportColumnType::Double:
        if (v.typeId() != QMetaType::LongLong && v.typeId() != QMetaType::Double)
            return false;
        v = v.toDouble();
        return true;
    case ExportColumnType::Boolean:
        if (v.typeId() != QMetaType::LongLong)
            return false;
        v = v.toLongLong() != 0;
        return true;
    case ExportColumnType::Text:
        if (v.typeId() != QMetaType::QString)
            v = textOf(v);
        return true;
    }
    return true;
}

const QString RowsChanged = QStringLiteral("ExportTable: the rows changed while they were exported.");

// One walk over the statement's rows, each converted to its column's type.
// Every walk but the first (which counted them) must find the same rows.
class StatementCursor : public ExportRows::Cursor
{
public:
    StatementCursor(ResultsDatabase &con, const QString &statement, QList<ExportColumn> columns, std::size_t count)
        : m_query(prepareReadOnly(con, statement))
        , m_columns(std::move(columns))
        , m_count(count)
    {}
    bool next(QVariantList &row) override
    {
        if (!m_query.next()) {
            if (m_read != m_count)
                throw Failure(RowsChanged);
            return false;
        }
        if (++m_read > m_count || m_query.columnCount() != m_columns.size())
            throw Failure(RowsChanged);
        // The row's list is filled in place: one allocation per walk, not per row.
        row.resize(m_columns.size());
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (!m_wanted.isEmpty() && !m_wanted[c])
                continue;
            row[c] = m_query.value(int(c));
            if (!convert(row[c], m_columns[c].type))
                throw Failure(RowsChanged);
        }
        return true;
    }
    void only(const QList<int> &columns) override
    {
        m_wanted.fill(false, m_columns.size());
        for (int c : columns)
            m_wanted[c] = true;
    }

private:
    ReadOnlyStatement m_query;
    const QList<ExportColumn> m_columns;
    std::size_t m_count;
    std::size_t m_read = 0;
    QList<bool> m_wanted; // empty: every column
};

// The longest value as text of the columns given, in a walk of their own.
void measure(ReadOnlyStatement &query, const QList<int> &columns, std::vector<ColumnStats> &stats)
{
    for (int c : columns)
        stats[std::size_t(c)].longest = 0;
    while (query.next()) {
        for (int c : columns) {
            const QVariant v = query.value(c);
            if (v.isValid())
                stats[std::size_t(c)].longest = std::max(stats[std::size_t(c)].longest, int(textOf(v).size()));
        }
    }
}

} // namespace

ExportData readExportData(ResultsDatabase &con, const QString &statement, const QString &tableName)
{
    ReadOnlyStatement query = prepareReadOnly(con, statement);
    ExportData data;
    data.tableName = tableName;
    std::vector<Declared> declared;
    for (const StatementColumn &c : query.columns()) {
        ExportColumn column;
        column.name = c.name;
        column.declaredType = c.declaredType;
        data.columns << column;
        declared.push_back(fromDeclaration(c.declaredType));
    }
    const int columnCount = query.columnCount();
    std::vector<bool> mayBeText;
    for (const Declared &d : declared)
        mayBeText.push_back(!d.known || d.type == ExportColumnType::Text);

    // The first walk settles every column's type and width and counts the rows.
    std::vector<ColumnStats> stats(static_cast<std::size_t>(columnCount));
    std::vector<ColumnSummary> summary(static_cast<std::size_t>(columnCount));
    std::size_t count = 0;
    while (query.next()) {
        for (int c = 0; c < columnCount; ++c) {
            const QVariant v = query.value(c);
            add(stats[std::size_t(c)], v, mayBeText[std::size_t(c)]);
            // A blob is exported as the text its bytes spell.
            summary[std::size_t(c)].add(v.typeId() == QMetaType::QByteArray ? QVariant(textOf(v)) : v, count);
        }
        ++count;
    }
    QList<int> unmeasured;
    for (int c = 0; c < columnCount; ++c) {
        ExportColumn &column = data.columns[c];
        const ColumnStats &s = stats[std::size_t(c)];
        column.type = typeOf(s, declared[std::size_t(c)]);
        if (column.type == ExportColumnType::Text && s.numbersUnmeasured)
            unmeasured << c;
    }
    if (!unmeasured.isEmpty())
        measure(query, unmeasured, stats);
    for (int c = 0; c < columnCount; ++c) {
        ExportColumn &column = data.columns[c];
        const Declared &d = declared[std::size_t(c)];
        if (column.type == ExportColumnType::Text) {
            column.width = std::max({1, stats[std::size_t(c)].longest, d.type == ExportColumnType::Text ? d.width : 0});
            // Numbers in a text column are written as text too.
            summary[std::size_t(c)].longestText = stats[std::size_t(c)].longest;
        }
    }

    data.rows = ExportRows(
        count,
        [&con, statement, columns = data.columns, count] {
            return std::make_unique<StatementCursor>(con, statement, columns, count);
        },
        std::move(summary));
    return data;
}
