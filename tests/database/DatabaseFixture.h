#pragma once

// An empty results database in a temporary folder, connected the way the
// program connects, for the database tests.

#include "database/ConnectionString.h"
#include "database/ResultsDatabase.h"
#include "database/ResultsSchema.h"
#include "session/SessionResult.h"

#include <QDir>
#include <QTemporaryDir>

#include <sqlite3.h>

// The tests write and read numbers with a comma, whatever the machine's locale.
inline constexpr QChar DecimalComma = u',';

inline QString connectionFor(const QString &directory)
{
    ConnectionString description = ConnectionString::parse(ConnectionString::stored());
    description.putDirectory(directory);
    return description.text();
}

inline void openIn(ResultsDatabase &con, const QString &directory)
{
    con.setConnectionString(connectionFor(directory));
    con.open();
}

// A finished test with the given efficiencies and subject texts.
inline SessionResult finishedTest(const QList<double> &efficiencies, const QString &name = QStringLiteral("ANA"),
                                  const QString &age = QStringLiteral("30"),
                                  const QString &gender = QStringLiteral("Ženski"))
{
    SessionResult r;
    r.subject.Name = name;
    r.subject.Surname = QStringLiteral("KOVAČ");
    r.subject.Age = age;
    r.subject.GenderText = gender;
    r.subject.Field1 = QStringLiteral("grupa A");
    r.stimulusCount = int(efficiencies.size());
    long double sum = 0, squares = 0;
    for (double e : efficiencies) {
        r.tasks.append({QStringLiteral("x"), e < 2.0, e});
        sum += e;
        squares += (long double)e * e;
    }
    const long double n = efficiencies.size();
    r.mean = sum / n;
    r.variance = n > 1 ? (squares - sum * sum / n) / (n - 1) : 0;
    return r;
}

// The first row of a statement as texts, read past the select rule (pragmas
// write nothing but are not "read-only").
inline QVariantList firstRow(ResultsDatabase &con, const QString &sql)
{
    sqlite3_stmt *s = nullptr;
    sqlite3_prepare_v2(con.handle(), sql.toUtf8().constData(), -1, &s, nullptr);
    QVariantList row;
    for (int c = 0, n = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_count(s) : 0; c < n; ++c)
        row << (sqlite3_column_type(s, c) == SQLITE_NULL
                    ? QVariant()
                    : QVariant(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, c)))));
    sqlite3_finalize(s);
    return row;
}

inline QVariant scalar(ResultsDatabase &con, const QString &sql)
{
    const QVariantList row = firstRow(con, sql);
    return row.isEmpty() ? QVariant() : row[0];
}

struct DatabaseFixture
{
    QTemporaryDir dir;
    ResultsDatabase con;

    DatabaseFixture()
    {
        ResultsSchema::createDatabase(path());
        openIn(con, dir.path());
    }
    QString path() const { return dir.filePath(QStringLiteral("Kalvestrin.mdb")); }
};
