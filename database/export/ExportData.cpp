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

// Chooses the column's type and converts its values to it.
void settleColumn(ExportColumn &column, std::vector<QVariantList> &rows, int index)
{
    bool anyInteger = false, anyDouble = false, anyText = false, onlyZeroOne = true;
    for (const QVariantList &row : rows) {
        const QVariant &v = row[index];
        switch (kindOf(v)) {
        case FoundKind::None: break;
        case FoundKind::Integer:
            anyInteger = true;
            onlyZeroOne = onlyZeroOne && (v.toLongLong() == 0 || v.toLongLong() == 1);
            break;
        case FoundKind::Double: anyDouble = true; break;
        case FoundKind::Text: anyText = true; break;
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

ExportData readExportData(ResultsDatabase &con, const QString &statement, const QString &tableName)
{
    ReadOnlyStatement query = prepareReadOnly(con, statement);
    ExportData data;
    data.tableName = tableName;
    const int columnCount = query.columnCount();
    for (const StatementColumn &c : query.columns()) {
        ExportColumn column;
        column.name = c.name;
        column.declaredType = c.declaredType;
        data.columns << column;
    }
    while (query.next())
        data.rows.push_back(query.values());

    for (int c = 0; c < columnCount; ++c)
        settleColumn(data.columns[c], data.rows, c);
    return data;
}
