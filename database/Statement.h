#pragma once

// One prepared SQLite statement, finalised when it goes out of scope. Every
// call that can fail checks SQLite's return code and throws Failure with the
// program's own words for what happened, naming the database file, followed
// by SQLite's text (SqliteValues::errorText).

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVariantList>

struct sqlite3;
struct sqlite3_stmt;

class Statement
{
public:
    Statement() = default;
    // Prepares the first statement of `sql` on `db`. Throws Failure when it
    // does not compile; a text of only blanks and comments gives a statement
    // that is not valid. `tail`, when given, receives the byte offset in the
    // UTF-8 text where the next statement would begin.
    Statement(sqlite3 *db, const QString &sql, qsizetype *tail = nullptr);
    // Prepares `sql` and binds `values` to ?1, ?2 ...
    Statement(sqlite3 *db, const QString &sql, const QVariantList &values);
    ~Statement();
    Statement(Statement &&other) noexcept;
    Statement &operator=(Statement &&other) noexcept;
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool isValid() const { return m_stmt != nullptr; }
    sqlite3_stmt *handle() const { return m_stmt; }
    sqlite3 *database() const;

    int parameterCount() const;
    void bindNull(int index);
    void bind(int index, qint64 value);
    void bind(int index, double value);
    void bind(int index, const QString &value);
    void bind(int index, const QByteArray &value);
    // NULL for an invalid or null variant, bool as 0/1, integers, floating
    // point, byte arrays as BLOB, anything else as its text.
    void bind(int index, const QVariant &value);
    // Binds ?1, ?2 ... in order; the number of values must match.
    void bindAll(const QVariantList &values);

    // Steps once: true when a row is there to read, false when the statement
    // is done. Throws Failure; the statement is then reset.
    bool step();
    // Steps to the end and returns the number of rows it changed.
    qint64 run();
    // Ends the current run (and keeps the bindings) so it can start again.
    void reset();
    void clearBindings();

    int columnCount() const;
    // The current row's value: NULL invalid, INTEGER qlonglong, REAL double,
    // TEXT QString, BLOB QByteArray.
    QVariant value(int column) const;
    QVariantList values() const;
    qint64 int64(int column) const;
    QString text(int column) const;

private:
    void check(int rc) const;

    sqlite3_stmt *m_stmt = nullptr;
};
