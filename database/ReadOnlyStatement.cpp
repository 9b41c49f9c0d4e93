#include "database/ReadOnlyStatement.h"

#include "common/Failure.h"
#include "database/ResultsDatabase.h"

#include <sqlite3.h>

namespace {

// True when only blanks, ";" and comments are left.
bool onlyFiller(const char *p, const char *end)
{
    while (p < end) {
        if (*p == ';' || static_cast<unsigned char>(*p) <= ' ') {
            ++p;
        } else if (*p == '-' && p + 1 < end && p[1] == '-') {
            while (p < end && *p != '\n')
                ++p;
        } else if (*p == '/' && p + 1 < end && p[1] == '*') {
            p += 2;
            while (p + 1 < end && !(p[0] == '*' && p[1] == '/'))
                ++p;
            if (p + 1 >= end)
                return true; // an unterminated comment runs to the end, as SQLite reads it
            p += 2;
        } else {
            return false;
        }
    }
    return true;
}

QString utf8(const char *s)
{
    return s ? QString::fromUtf8(s) : QString();
}

} // namespace

ValueKind StatementColumn::kind() const
{
    const QString type = declaredType.toUpper();
    if (type.contains(QLatin1String("BOOL")))
        return ValueKind::Boolean;
    if (type.contains(QLatin1String("INT")))
        return ValueKind::Integer;
    if (type.contains(QLatin1String("REAL")) || type.contains(QLatin1String("FLOA")) ||
        type.contains(QLatin1String("DOUB")))
        return ValueKind::Double;
    return ValueKind::Text;
}

int StatementColumn::maxLength() const
{
    const qsizetype open = declaredType.indexOf(QLatin1Char('('));
    const qsizetype close = declaredType.indexOf(QLatin1Char(')'), open + 1);
    if (open < 0 || close < 0 || kind() != ValueKind::Text)
        return 0;
    bool ok = false;
    const int n = declaredType.mid(open + 1, close - open - 1).trimmed().toInt(&ok);
    return ok && n > 0 ? n : 0;
}

const QString &ReadOnlyStatement::RefusedText()
{
    static const QString refused =
        QStringLiteral("Program nije uspio izvršiti upisanu SQL naredbu jer ona nije ispravno zadana! Unutar ovog "
                       "programa možete koristiti samo \"select\" naredbu.");
    return refused;
}

bool ReadOnlyStatement::next()
{
    if (m_statement.step())
        return true;
    m_statement.reset();
    return false;
}

void ReadOnlyStatement::reset()
{
    m_statement.reset();
}

ReadOnlyStatement prepareReadOnly(ResultsDatabase &con, const QString &text)
{
    if (!con.isOpen())
        throw Failure(QStringLiteral("Veza s bazom podataka nije otvorena."));
    const QByteArray sql = text.toUtf8();
    qsizetype tail = 0;
    ReadOnlyStatement statement;
    statement.m_statement = Statement(con.queries().handle(), text, &tail);
    sqlite3_stmt *s = statement.handle();
    if (!s || !onlyFiller(sql.constData() + tail, sql.constData() + sql.size()) || !sqlite3_stmt_readonly(s) ||
        sqlite3_column_count(s) == 0 || sqlite3_bind_parameter_count(s) != 0)
        throw Failure(ReadOnlyStatement::RefusedText());

    qsizetype end = tail;
    while (end > 0 && (sql[end - 1] == ';' || static_cast<unsigned char>(sql[end - 1]) <= ' '))
        --end;
    statement.m_sql = QString::fromUtf8(sql.constData(), end).trimmed();
    const int n = sqlite3_column_count(s);
    for (int c = 0; c < n; ++c) {
        statement.m_columns.append({utf8(sqlite3_column_name(s, c)), utf8(sqlite3_column_decltype(s, c)),
                                    utf8(sqlite3_column_database_name(s, c)), utf8(sqlite3_column_table_name(s, c)),
                                    utf8(sqlite3_column_origin_name(s, c))});
    }
    return statement;
}
