#include "database/export/ExportData.h"

#include "common/Failure.h"

#include <QLocale>
#include <QRegularExpression>

#include <sqlite3.h>

namespace {

const QString NotSingleReadOnly =
    QStringLiteral("ExportTable: only a single statement that reads the database can be exported.");

struct StatementHandle
{
    sqlite3_stmt *stmt = nullptr;
    ~StatementHandle() { sqlite3_finalize(stmt); }
};

Failure engineFailure(sqlite3 *db)
{
    return Failure(QString::fromUtf8(sqlite3_errmsg(db)));
}

// What the values of a column are, whatever it was declared as.
enum class ValueKind { None, Integer, Double, Text };

ValueKind kindOf(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::UnknownType: return ValueKind::None;
    case QMetaType::LongLong: return ValueKind::Integer;
    case QMetaType::Double: return ValueKind::Double;
    default: return ValueKind::Text;
    }
}

struct Declared
{
    bool known = false;
    ExportColumnType type = ExportColumnType::Text;
    int width = 0;
};

Declared fromDeclaration(const QString &declaredType)
{
    const QString t = declaredType.toUpper();
    Declared d;
    if (t.isEmpty())
        return d;
    d.known = true;
    if (t.contains(QLatin1String("INT"))) {
        d.type = ExportColumnType::Integer;
    } else if (t.contains(QLatin1String("BOOL")) || t.startsWith(QLatin1String("BIT"))) {
        d.type = ExportColumnType::Boolean;
    } else if (t.contains(QLatin1String("DOUB")) || t.contains(QLatin1String("REAL")) ||
               t.contains(QLatin1String("FLOA"))) {
        d.type = ExportColumnType::Double;
    } else if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("TEXT")) ||
               t.contains(QLatin1String("CLOB")) || t.contains(QLatin1String("MEMO"))) {
        d.type = ExportColumnType::Text;
        static const QRegularExpression width(QStringLiteral("\\(\\s*(\\d+)\\s*\\)"));
        const QRegularExpressionMatch m = width.match(t);
        if (m.hasMatch())
            d.width = m.captured(1).toInt();
    } else {
        d.known = false;
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

// Chooses the column's type and converts its values to it.
void settleColumn(ExportColumn &column, std::vector<QVariantList> &rows, int index)
{
    bool anyInteger = false, anyDouble = false, anyText = false, onlyZeroOne = true;
    for (const QVariantList &row : rows) {
        const QVariant &v = row[index];
        switch (kindOf(v)) {
        case ValueKind::None: break;
        case ValueKind::Integer:
            anyInteger = true;
            onlyZeroOne = onlyZeroOne && (v.toLongLong() == 0 || v.toLongLong() == 1);
            break;
        case ValueKind::Double: anyDouble = true; break;
        case ValueKind::Text: anyText = true; break;
        }
    }
    ExportColumnType fromValues = ExportColumnType::Text;
    if (!anyText && anyDouble)
        fromValues = ExportColumnType::Double;
    else if (!anyText && anyInteger)
        fromValues = ExportColumnType::Integer;

    // A declared type holds only while every value fits it: the table does not
    // enforce its declarations, and a value is never changed to fit a column.
    const Declared declared = fromDeclaration(column.declaredType);
    ExportColumnType type = fromValues;
    if (declared.known) {
        switch (declared.type) {
        case ExportColumnType::Integer:
            if (!anyText && !anyDouble)
                type = ExportColumnType::Integer;
            break;
        case ExportColumnType::Boolean:
            if (!anyText && !anyDouble && onlyZeroOne)
                type = ExportColumnType::Boolean;
            break;
        case ExportColumnType::Double:
            if (!anyText)
                type = ExportColumnType::Double;
            break;
        case ExportColumnType::Text: type = ExportColumnType::Text; break;
        }
    }
    column.type = type;

    int longest = 0;
    for (QVariantList &row : rows) {
        QVariant &v = row[index];
        if (!v.isValid())
            continue;
        switch (type) {
        case ExportColumnType::Integer: break;
        case ExportColumnType::Double: v = v.toDouble(); break;
        case ExportColumnType::Boolean: v = v.toLongLong() != 0; break;
        case ExportColumnType::Text:
            if (v.typeId() != QMetaType::QString)
                v = textOf(v);
            longest = std::max(longest, int(v.toString().size()));
            break;
        }
    }
    column.width = 0;
    if (type == ExportColumnType::Text)
        column.width = std::max({1, longest, declared.type == ExportColumnType::Text ? declared.width : 0});
}

} // namespace

ExportData readExportData(sqlite3 *db, const QString &statement, const QString &tableName)
{
    const QByteArray sql = statement.toUtf8();
    StatementHandle handle;
    const char *tail = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &handle.stmt, &tail) != SQLITE_OK)
        throw engineFailure(db);
    if (!handle.stmt || !sqlite3_stmt_readonly(handle.stmt) || sqlite3_column_count(handle.stmt) == 0)
        throw Failure(NotSingleReadOnly);
    // Whatever follows must be empty: blanks, semicolons, comments.
    const char *end = sql.constData() + sql.size();
    while (tail && tail < end) {
        StatementHandle next;
        const char *rest = nullptr;
        if (sqlite3_prepare_v2(db, tail, int(end - tail), &next.stmt, &rest) != SQLITE_OK || next.stmt)
            throw Failure(NotSingleReadOnly);
        if (rest == tail)
            break;
        tail = rest;
    }

    ExportData data;
    data.tableName = tableName;
    sqlite3_stmt *stmt = handle.stmt;
    const int columnCount = sqlite3_column_count(stmt);
    for (int c = 0; c < columnCount; ++c) {
        ExportColumn column;
        column.name = QString::fromUtf8(sqlite3_column_name(stmt, c));
        column.declaredType = QString::fromUtf8(sqlite3_column_decltype(stmt, c));
        data.columns << column;
    }

    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        QVariantList row;
        row.reserve(columnCount);
        for (int c = 0; c < columnCount; ++c) {
            switch (sqlite3_column_type(stmt, c)) {
            case SQLITE_INTEGER: row << QVariant(qlonglong(sqlite3_column_int64(stmt, c))); break;
            case SQLITE_FLOAT: row << QVariant(sqlite3_column_double(stmt, c)); break;
            case SQLITE_TEXT: {
                const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, c));
                row << QVariant(QString::fromUtf8(text, sqlite3_column_bytes(stmt, c)));
                break;
            }
            case SQLITE_BLOB: {
                const auto *bytes = static_cast<const char *>(sqlite3_column_blob(stmt, c));
                row << QVariant(QByteArray(bytes, sqlite3_column_bytes(stmt, c)));
                break;
            }
            default: row << QVariant(); break;
            }
        }
        data.rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE)
        throw engineFailure(db);

    for (int c = 0; c < columnCount; ++c)
        settleColumn(data.columns[c], data.rows, c);
    return data;
}
