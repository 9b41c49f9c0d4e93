#include "database/SessionSchema.h"

#include "common/Failure.h"
#include "database/ResultsDatabase.h"
#include "database/SqliteValues.h"

#include <sqlite3.h>

#include <cstdlib>

namespace {

// The first column of the first row of a statement that cannot fail on a results database.
int firstInteger(ResultsDatabase &con, const char *sql)
{
    int value = 0;
    auto keep = [](void *target, int, char **values, char **) {
        *static_cast<int *>(target) = values[0] ? std::atoi(values[0]) : 0;
        return 0;
    };
    if (sqlite3_exec(con.handle(), sql, keep, &value, nullptr) != SQLITE_OK)
        throw Failure(SqliteValues::errorText(con.handle()));
    return value;
}

int userVersion(ResultsDatabase &con)
{
    return firstInteger(con, "PRAGMA user_version;");
}

} // namespace

const QString &SessionSchema::createTablesSql()
{
    // Task and level index count from 1, as the examiner numbers them; the
    // times are milliseconds from the first picture's onset, to the
    // microsecond; ResponseMs is NULL for a picture never answered. Nr keeps
    // the order of presentations, which F5 makes more than (Task, LevelIndex).
    // No foreign keys: deleting a row of Data in the grid must work as it
    // always has.
    static const QString sql =
        QStringLiteral("CREATE TABLE IF NOT EXISTS Sessions (\n"
                       "  UUID TEXT NOT NULL UNIQUE CHECK (typeof(UUID) = 'text' AND length(UUID) = 36),\n"
                       "  DataID INTEGER NOT NULL CHECK (typeof(DataID) = 'integer'),\n"
                       "  Station TEXT,\n"
                       "  DesignPath TEXT,\n"
                       "  DesignSHA256 TEXT,\n"
                       "  StartedUTC TEXT,\n"
                       "  FinishedUTC TEXT,\n"
                       "  ProgramVersion TEXT,\n"
                       "  ScreenWidth INTEGER,\n"
                       "  ScreenHeight INTEGER,\n"
                       "  DevicePixelRatio DOUBLE,\n"
                       "  Mode TEXT,\n"
                       "  RefreshRate REAL,\n"
                       "  Compositor INTEGER NULL\n"
                       ");\n"
                       "CREATE INDEX IF NOT EXISTS SessionsByDataID ON Sessions (DataID);\n"
                       "CREATE TABLE IF NOT EXISTS Presentations (\n"
                       "  SessionUUID TEXT NOT NULL,\n"
                       "  Nr INTEGER NOT NULL CHECK (typeof(Nr) = 'integer' AND Nr >= 1),\n"
                       "  Task INTEGER NOT NULL CHECK (typeof(Task) = 'integer' AND Task >= 1),\n"
                       "  LevelIndex INTEGER CHECK (LevelIndex IS NULL OR typeof(LevelIndex) = 'integer'),\n"
                       "  Level INTEGER CHECK (Level IS NULL OR typeof(Level) = 'integer'),\n"
                       "  Efficiency DOUBLE CHECK (Efficiency IS NULL OR typeof(Efficiency) = 'real'),\n"
                       "  OnsetMs DOUBLE CHECK (OnsetMs IS NULL OR typeof(OnsetMs) = 'real'),\n"
                       "  ResponseMs DOUBLE CHECK (ResponseMs IS NULL OR typeof(ResponseMs) = 'real'),\n"
                       "  Key TEXT,\n"
                       "  TypedAnswer TEXT,\n"
                       "  Judgement TEXT,\n"
                       "  PRIMARY KEY (SessionUUID, Nr)\n"
                       ");\n") +
        QStringLiteral("PRAGMA user_version = %1;\n").arg(Version);
    return sql;
}

void SessionSchema::upgrade(ResultsDatabase &con)
{
    // Read first: an up-to-date file is the common case and must not wait
    // for another instance's write lock on every start.
    if (userVersion(con) >= Version)
        return;
    if (firstInteger(con, "SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name = 'Data' "
                          "COLLATE NOCASE;") == 0)
        return;
    ResultsDatabase::Transaction transaction(con);
    // Another instance may have upgraded it while we waited for the lock.
    if (userVersion(con) < Version)
        con.executeScript(createTablesSql());
    transaction.commit();
}
