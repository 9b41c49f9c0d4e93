#include "database/export/AccessExporter.h"

#include "common/Failure.h"
#include "database/export/FileExportSupport.h"

#include <QRegularExpression>

#include <sqlite3.h>

namespace {

struct Connection
{
    sqlite3 *db = nullptr;
    ~Connection() { sqlite3_close_v2(db); }
};

struct Statement
{
    sqlite3_stmt *stmt = nullptr;
    ~Statement() { sqlite3_finalize(stmt); }
};

QString identifier(const QString &name)
{
    QString q = name;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

// The plain type of a column's values.
QString plainType(const ExportColumn &column)
{
    switch (column.type) {
    case ExportColumnType::Integer: return QStringLiteral("INTEGER");
    case ExportColumnType::Double: return QStringLiteral("DOUBLE");
    case ExportColumnType::Boolean: return QStringLiteral("BOOLEAN");
    case ExportColumnType::Text: break;
    }
    return column.width <= 255 ? QStringLiteral("VARCHAR(%1)").arg(column.width) : QStringLiteral("TEXT");
}

// The source's declaration when it is a type name this knows with at most two
// sizes ("VARCHAR(40)", "NUMERIC(10, 2)"), rebuilt from its parts; anything
// else in a declaration (a constraint, a second statement) never reaches
// the target, whose column then gets the plain type of its values.
QString columnType(const ExportColumn &column)
{
    static const QStringList Known{"INTEGER",  "INT",      "SMALLINT", "TINYINT",   "BIGINT", "LONG",     "COUNTER",
                                   "BYTE",     "DOUBLE",   "FLOAT",    "REAL",      "SINGLE", "NUMERIC",  "DECIMAL",
                                   "CURRENCY", "MONEY",    "BOOLEAN",  "BIT",       "YESNO",  "LOGICAL",  "TEXT",
                                   "VARCHAR",  "CHAR",     "NVARCHAR", "NCHAR",     "MEMO",   "LONGTEXT", "CLOB",
                                   "DATE",     "DATETIME", "TIME",     "TIMESTAMP", "BLOB"};
    static const QRegularExpression Declaration(
        QStringLiteral("^\\s*([A-Za-z]+)\\s*(?:\\(\\s*(\\d{1,9})\\s*(?:,\\s*(\\d{1,9})\\s*)?\\))?\\s*$"));
    const QRegularExpressionMatch m = Declaration.match(column.declaredType);
    if (!m.hasMatch() || !Known.contains(m.captured(1), Qt::CaseInsensitive))
        return plainType(column);
    QString type = m.captured(1);
    if (m.hasCaptured(2)) {
        type += QLatin1Char('(') + m.captured(2);
        if (m.hasCaptured(3))
            type += QLatin1Char(',') + m.captured(3);
        type += QLatin1Char(')');
    }
    return type;
}

void run(sqlite3 *db, const QByteArray &sql)
{
    if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        throw Failure(QString::fromUtf8(sqlite3_errmsg(db)));
}

// Prepares exactly one statement: text after it is refused, never run.
void prepareOne(sqlite3 *db, const QByteArray &sql, Statement &statement)
{
    const char *tail = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &statement.stmt, &tail) != SQLITE_OK)
        throw Failure(QString::fromUtf8(sqlite3_errmsg(db)));
    if (!statement.stmt || (tail && *tail))
        throw Failure(QStringLiteral("ExportTable: the table cannot be created."));
}

void bind(sqlite3 *db, sqlite3_stmt *stmt, int index, const QVariant &value, ExportColumnType type)
{
    int rc = SQLITE_OK;
    if (!value.isValid()) {
        rc = sqlite3_bind_null(stmt, index);
    } else {
        switch (type) {
        case ExportColumnType::Integer: rc = sqlite3_bind_int64(stmt, index, value.toLongLong()); break;
        case ExportColumnType::Double: rc = sqlite3_bind_double(stmt, index, value.toDouble()); break;
        case ExportColumnType::Boolean: rc = sqlite3_bind_int(stmt, index, value.toBool() ? 1 : 0); break;
        case ExportColumnType::Text: {
            const QByteArray text = value.toString().toUtf8();
            rc = sqlite3_bind_text(stmt, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            break;
        }
        }
    }
    if (rc != SQLITE_OK)
        throw Failure(QString::fromUtf8(sqlite3_errmsg(db)));
}

} // namespace

QString AccessExporter::formatName() const
{
    return QStringLiteral("Access");
}

void AccessExporter::check(const ExportData &) const {}

void AccessExporter::write(const ExportData &data, const QString &path, ExportFiles &) const
{
    // The database must exist already: it is opened without being created,
    // and the path never becomes part of a statement.
    Connection target;
    const QByteArray file = path.toUtf8();
    if (sqlite3_open_v2(file.constData(), &target.db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        throw Failure(target.db ? QString::fromUtf8(sqlite3_errmsg(target.db))
                                : QStringLiteral("unable to open database file"));
    }
    sqlite3_busy_timeout(target.db, 2000);
    run(target.db, "BEGIN IMMEDIATE");
    try {
        const QStringList names = FileExport::columnNames(
            data.columns, [](const QString &n) { return n.isEmpty() ? QStringLiteral("Column") : n; }, 0,
            Qt::CaseInsensitive);
        QStringList definitions, placeholders;
        for (int i = 0; i < names.size(); ++i) {
            definitions << identifier(names[i]) + QLatin1Char(' ') + columnType(data.columns[i]);
            placeholders << QStringLiteral("?");
        }
        const QString table = identifier(data.tableName);
        Statement create;
        prepareOne(target.db,
                   QStringLiteral("CREATE TABLE %1 (%2)").arg(table, definitions.join(QStringLiteral(", "))).toUtf8(),
                   create);
        if (sqlite3_step(create.stmt) != SQLITE_DONE)
            throw Failure(QString::fromUtf8(sqlite3_errmsg(target.db)));

        Statement insert;
        prepareOne(
            target.db,
            QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(table, placeholders.join(QLatin1Char(','))).toUtf8(),
            insert);
        for (const QVariantList &row : data.rows) {
            for (int i = 0; i < row.size(); ++i)
                bind(target.db, insert.stmt, i + 1, row[i], data.columns[i].type);
            if (sqlite3_step(insert.stmt) != SQLITE_DONE)
                throw Failure(QString::fromUtf8(sqlite3_errmsg(target.db)));
            sqlite3_reset(insert.stmt);
        }
        run(target.db, "COMMIT");
    } catch (...) {
        sqlite3_exec(target.db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}
