// The results database from the command line: making an empty one, running
// a select statement under the SQL window's rules, and listing the
// presentations of the stored tests.

#include "common/Failure.h"
#include "database/ConnectionString.h"
#include "database/ReadOnlyStatement.h"
#include "database/ResultsDatabase.h"
#include "database/ResultsSchema.h"
#include "database/ResultsTableModel.h"
#include "database/SelectRule.h"
#include "database/central/CentralQuery.h"
#include "database/central/ServerSettings.h"
#include "tools/kalvestrin-tool/ToolCommand.h"

#include <stdexcept>

namespace {

// One line per row: a tab or line break inside a value would split it.
QString escaped(QString text)
{
    text.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    text.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    text.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    return text;
}

// A header line of column names, then one tab-separated line per row, "." decimals.
void printRows(ReadOnlyStatement &statement)
{
    QStringList header;
    for (const StatementColumn &column : statement.columns())
        header << escaped(column.name);
    out(header.join(QLatin1Char('\t')));
    while (statement.next()) {
        QStringList row;
        for (int c = 0; c < statement.columnCount(); ++c) {
            const StatementColumn &column = statement.columns()[c];
            const QVariant value = statement.value(c);
            // Times are kept to the microsecond: always three decimals.
            if (column.name.endsWith(QLatin1String("Ms")) && value.typeId() == QMetaType::Double)
                row << QString::number(value.toDouble(), 'f', 3);
            else
                row << escaped(ResultsTableModel::displayText(value, column.kind(), QLatin1Char('.')));
        }
        out(row.join(QLatin1Char('\t')));
    }
}

ValueKind kindOf(ExportColumnType type)
{
    switch (type) {
    case ExportColumnType::Integer: return ValueKind::Integer;
    case ExportColumnType::Double: return ValueKind::Double;
    case ExportColumnType::Boolean: return ValueKind::Boolean;
    case ExportColumnType::Text: break;
    }
    return ValueKind::Text;
}

// The statement on the central database, printed as printRows prints.
int queryCentral(const QString &conninfo, const QString &statement)
{
    PgConnection con(conninfo);
    const auto transaction = CentralQuery::begin(con, statement);
    CentralQuery::Cursor cursor(con, statement);
    QList<ValueKind> kinds;
    QStringList header;
    for (int c = 0; c < cursor.batch().columnCount(); ++c) {
        const ExportColumn column = CentralQuery::column(cursor.batch(), c);
        header << escaped(column.name);
        kinds << kindOf(column.type);
    }
    out(header.join(QLatin1Char('\t')));
    QVariantList values;
    while (cursor.next(values)) {
        QStringList row;
        for (int c = 0; c < values.size(); ++c)
            row << escaped(ResultsTableModel::displayText(values[c], kinds[c], QLatin1Char('.')));
        out(row.join(QLatin1Char('\t')));
    }
    return 0;
}

void openDatabase(ResultsDatabase &con, const QString &path)
{
    con.setConnectionString(ConnectionString::forFile(path));
    con.open();
}

} // namespace

int createDatabase(QStringList args)
{
    if (args.size() != 1)
        throw std::invalid_argument("usage");
    ResultsSchema::createDatabase(args[0]);
    out(QStringLiteral("created %1").arg(args[0]));
    return 0;
}

int queryDatabase(QStringList args)
{
    if (args.size() != 2)
        throw std::invalid_argument("usage");
    if (ServerSettings::looksLikeConninfo(args[0]))
        return queryCentral(args[0], args[1]);
    ResultsDatabase con;
    openDatabase(con, args[0]);

    const QString text = SelectRule::trimmed(args[1]);
    if (!SelectRule::beginsWithSelect(text))
        throw Failure(SelectRule::NotSelectText);
    ReadOnlyStatement statement;
    try {
        statement = prepareReadOnly(con, text);
    } catch (const Failure &failure) {
        const QString &refused = ReadOnlyStatement::RefusedText();
        throw Failure(failure.text() == refused ? refused : refused + QLatin1Char('\n') + failure.text());
    }

    printRows(statement);
    return 0;
}

// Every presentation of the stored tests in the order shown, or of the test
// whose Data.ID is given.
int presentations(QStringList args)
{
    if (args.size() != 1 && args.size() != 2)
        throw std::invalid_argument("usage");
    qint64 id = 0;
    if (args.size() == 2) {
        bool ok = false;
        id = args[1].toLongLong(&ok);
        if (!ok)
            throw Failure(QStringLiteral("ID \"%1\" is not a whole number").arg(args[1]));
    }
    ResultsDatabase con;
    openDatabase(con, args[0]);
    ReadOnlyStatement statement = prepareReadOnly(
        con, QStringLiteral("SELECT p.* FROM Presentations AS p LEFT JOIN Sessions AS s ON s.UUID = p.SessionUUID%1 "
                            "ORDER BY s.DataID, p.SessionUUID, p.Nr")
                 .arg(args.size() == 2 ? QStringLiteral(" WHERE s.DataID = %1").arg(id) : QString()));
    printRows(statement);
    return 0;
}
