#pragma once

// A station's data folder for the central-database tests and benchmarks: a
// results database holding `count` finished tests of 40 tasks, each with its
// UUID, station name and 40 presentations. Header only: its users link the
// database library, the test support library does not.

#include "database/ConnectionString.h"
#include "database/ResultsDatabase.h"
#include "database/ResultsSchema.h"
#include "database/StoreFinishedTest.h"
#include "session/SessionResult.h"

#include <QDir>
#include <QUuid>

inline QString makeStationFolder(const QString &dir, const QString &name, int count)
{
    QDir().mkpath(dir);
    ResultsSchema::createDatabase(dir + QStringLiteral("/Kalvestrin.mdb"));
    ResultsDatabase con;
    con.setConnectionString(ConnectionString::forFile(dir + QStringLiteral("/Kalvestrin.mdb")));
    con.open();
    // Filling, not storing as the program does: no sync per test.
    con.executeScript(QStringLiteral("PRAGMA synchronous=OFF;"));
    SessionResult r;
    r.subject.Surname = QStringLiteral("KOVAČ");
    r.subject.Age = QStringLiteral("30");
    r.subject.GenderText = QStringLiteral("Ženski");
    r.subject.Field1 = QStringLiteral("grupa A");
    // What JSON and SQL texts must escape.
    r.subject.Field2 = QStringLiteral("\"navodnik\" \\ \t'");
    r.session.station = name;
    r.stimulusCount = 40;
    long double sum = 0, squares = 0;
    for (int t = 0; t < 40; ++t) {
        const double e = 1.0 / (t + 3);
        r.tasks.append({QStringLiteral("x"), true, e});
        r.presentations.append(
            {t, 1, 8, 1000000LL * t, 1000000LL * t + 777777, QStringLiteral("Y"), e, {}, QStringLiteral("recognised")});
        sum += e;
        squares += (long double)e * e;
    }
    r.mean = sum / 40;
    r.variance = (squares - sum * sum / 40) / 39;
    for (int i = 0; i < count; ++i) {
        r.subject.Name = name + QString::number(i);
        r.session.uuid = QUuid::createUuid();
        StoreFinishedTest(con, r, QLatin1Char('.'));
    }
    return dir;
}
