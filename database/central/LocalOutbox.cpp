#include "database/central/LocalOutbox.h"

#include "database/ResultsDatabase.h"
#include "database/SqliteValues.h"
#include "database/Statement.h"

namespace {

const QString PendingWhere =
    QStringLiteral("FROM main.Sessions AS s WHERE NOT EXISTS (SELECT 1 FROM main.CentralSent AS c WHERE c.UUID = "
                   "s.UUID)");

} // namespace

void LocalOutbox::prepare(ResultsDatabase &local)
{
    Statement exists(local.handle(), QStringLiteral("SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = "
                                                    "'CentralSent'"));
    // Read first: creating takes the write lock, which a started station need not wait for.
    if (exists.step())
        return;
    local.executeScript(QStringLiteral("CREATE TABLE IF NOT EXISTS CentralSent (\n"
                                       "  UUID TEXT NOT NULL PRIMARY KEY,\n"
                                       "  SentUTC TEXT NOT NULL\n"
                                       ");"));
}

std::vector<OutgoingTest> LocalOutbox::pending(ResultsDatabase &local, int limit)
{
    std::vector<OutgoingTest> tests;
    Statement sessions(local.handle(),
                       QStringLiteral("SELECT s.UUID, s.DataID, s.Station, s.DesignPath, s.DesignSHA256, s.StartedUTC, "
                                      "s.FinishedUTC, s.ProgramVersion, s.ScreenWidth, s.ScreenHeight, "
                                      "s.DevicePixelRatio, s.Mode, s.RefreshRate, s.Compositor ") +
                           PendingWhere + QStringLiteral(" ORDER BY s.rowid LIMIT ?1"),
                       {limit});
    Statement data(local.handle(), QStringLiteral("SELECT Name, Surname, Age, Gender, N, M, V, Items, Field1, Field2, "
                                                  "Field3 FROM main.Data WHERE ID = ?1"));
    Statement presentations(local.handle(),
                            QStringLiteral("SELECT Nr, Task, LevelIndex, Level, Efficiency, OnsetMs, ResponseMs, Key, "
                                           "TypedAnswer, Judgement FROM main.Presentations WHERE SessionUUID = ?1 "
                                           "ORDER BY Nr"));
    while (sessions.step()) {
        OutgoingTest test;
        QVariantList row = sessions.values();
        test.uuid = row.takeFirst().toString();
        const QVariant dataId = row.takeFirst();
        test.session = row;
        data.reset();
        data.bind(1, dataId);
        if (data.step())
            test.data = data.values();
        data.reset();
        presentations.reset();
        presentations.bind(1, test.uuid);
        while (presentations.step())
            test.presentations.push_back(presentations.values());
        presentations.reset();
        tests.push_back(std::move(test));
    }
    return tests;
}

qint64 LocalOutbox::pendingCount(ResultsDatabase &local)
{
    Statement count(local.handle(), QStringLiteral("SELECT count(*) ") + PendingWhere);
    return count.step() ? count.int64(0) : 0;
}

void LocalOutbox::markSent(ResultsDatabase &local, const QStringList &uuids, const QDateTime &when)
{
    ResultsDatabase::Transaction transaction(local);
    Statement insert(local.handle(),
                     QStringLiteral("INSERT OR IGNORE INTO main.CentralSent (UUID, SentUTC) VALUES (?1, ?2)"));
    const QVariant sentAt = SqliteValues::utcValue(when);
    for (const QString &uuid : uuids) {
        insert.reset();
        insert.bindAll({uuid, sentAt});
        insert.run();
    }
    transaction.commit();
}
