// The results database from the command line: making an empty one, and
// running a select statement under the SQL window's rules.

#include "common/Failure.h"
#include "database/ConnectionString.h"
#include "database/ReadOnlyStatement.h"
#include "database/ResultsDatabase.h"
#include "database/ResultsSchema.h"
#include "database/ResultsTableModel.h"
#include "database/SelectRule.h"
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
    ResultsDatabase con;
    con.setConnectionString(ConnectionString::forFile(args[0]));
    con.open();

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

    QStringList header;
    for (const StatementColumn &column : statement.columns())
        header << escaped(column.name);
    out(header.join(QLatin1Char('\t')));
    while (statement.next()) {
        QStringList row;
        for (int c = 0; c < statement.columnCount(); ++c)
            row << escaped(
                ResultsTableModel::displayText(statement.value(c), statement.columns()[c].kind(), QLatin1Char('.')));
        out(row.join(QLatin1Char('\t')));
    }
    return 0;
}
