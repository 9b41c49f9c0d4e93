#pragma once

// One prepared statement that only reads: exactly one statement (nothing but
// blanks, ";" and comments after it) that returns columns, changes nothing
// and takes no parameters. It is what every text the examiner types becomes
// before it runs: the SQL window, the group results grid, the tool and the
// export all go through prepareReadOnly, which prepares on the database's
// read-only query connection.
//
// Between next() returning false (or reset()) and the next next() the
// statement holds no read transaction, so a caller that reads a page and
// resets keeps no lock between events.

#include "database/Statement.h"

#include <QList>
#include <QString>
#include <QVariant>

class ResultsDatabase;

// What a column holds, read from its declared type the way SQLite gives
// affinity ("BOOLEAN" before "INT"): integers, doubles, Booleans or text.
enum class ValueKind { Integer, Double, Boolean, Text };

struct StatementColumn
{
    QString name;         // the result column's name, as titled in the grid
    QString declaredType; // as declared in the table ("VARCHAR(40)"); empty for expressions
    QString database;     // where the value comes from, empty for expressions:
    QString table;        //   schema ("main"), table ("Data")
    QString origin;       //   and column ("Name") as stored

    ValueKind kind() const;
    // The n of VARCHAR(n); 0 when the type sets no length.
    int maxLength() const;
};

class ReadOnlyStatement
{
public:
    // The message a refused text gets: not one statement, or one that would write.
    static const QString &RefusedText();

    bool isValid() const { return m_statement.isValid(); }
    sqlite3_stmt *handle() const { return m_statement.handle(); }

    // The statement's own text, without what followed it (";", comments).
    const QString &sql() const { return m_sql; }
    const QList<StatementColumn> &columns() const { return m_columns; }
    int columnCount() const { return int(m_columns.size()); }

    // Steps to the next row; false after the last one, and then the statement
    // is reset. Throws Failure with SQLite's text.
    bool next();
    // The current row's value (after next() returned true): NULL invalid,
    // INTEGER qlonglong, REAL double, TEXT QString, BLOB QByteArray.
    QVariant value(int column) const { return m_statement.value(column); }
    QVariantList values() const { return m_statement.values(); }
    // Ends the current read so the statement can run again from its start.
    void reset();

private:
    friend ReadOnlyStatement prepareReadOnly(ResultsDatabase &con, const QString &text);
    Statement m_statement;
    QString m_sql;
    QList<StatementColumn> m_columns;
};

// Prepares `text` on the open connection. Throws Failure with SQLite's text
// when it does not compile, and with RefusedText() when it is more than one
// statement, writes, takes parameters or returns no columns.
ReadOnlyStatement prepareReadOnly(ResultsDatabase &con, const QString &text);
