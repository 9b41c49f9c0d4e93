#include "database/StoreFinishedTest.h"

#include "common/Version.h"
#include "database/ConnectionString.h"
#include "database/ResultsDatabase.h"
#include "database/SqliteValues.h"
#include "database/Statement.h"
#include "database/StoreFailure.h"
#include "database/StoredTest.h"
#include "session/SessionResult.h"

#include <QDir>
#include <QFileInfo>

#include <sqlite3.h>

#include <fcntl.h>
#include <unistd.h>

#include <cmath>

namespace {

QVariant textOrNull(const QString &text)
{
    return text.isEmpty() ? QVariant() : QVariant(text);
}

// Milliseconds to three decimals: the microsecond is as fine as a key press
// or a frame can be placed.
QVariant milliseconds(qint64 ns)
{
    return ns < 0 ? QVariant() : QVariant(double(std::llround(double(ns) / 1000.0)) / 1000.0);
}

QVariantList sessionValues(const SessionResult &result, const QString &uuid, qint64 dataId)
{
    const SessionInfo &s = result.session;
    const bool hasScreen = s.screenSize.isValid() && !s.screenSize.isEmpty();
    return {uuid,
            dataId,
            textOrNull(s.station),
            textOrNull(s.designPath),
            textOrNull(QString::fromLatin1(s.designSha256)),
            SqliteValues::utcValue(s.startedUtc),
            SqliteValues::utcValue(s.finishedUtc),
            QStringLiteral(KALVESTRIN_VERSION),
            hasScreen ? QVariant(s.screenSize.width()) : QVariant(),
            hasScreen ? QVariant(s.screenSize.height()) : QVariant(),
            s.devicePixelRatio > 0 ? QVariant(s.devicePixelRatio) : QVariant(),
            textOrNull(result.modeText),
            s.refreshRate > 0 ? QVariant(s.refreshRate) : QVariant(),
            SqliteValues::compositorValue(s.compositor)};
}

QVariantList presentationValues(const SessionResult &result, int index, const QString &uuid)
{
    const Presentation &p = result.presentations[index];
    return {uuid,
            index + 1,
            p.task + 1,
            p.levelIndex + 1,
            p.level,
            p.efficiency,
            milliseconds(p.onsetNs),
            milliseconds(p.responseNs),
            textOrNull(p.key),
            result.independentMode ? QVariant(p.typedAnswer) : QVariant(),
            textOrNull(p.judgement)};
}

// Every row of the test; the ID of its Data row. Runs inside the caller's transaction.
qint64 writeRows(ResultsDatabase &con, const SessionResult &result, const QVariantList &dataRow, const QString &uuid)
{
    Statement stored(con.handle(), QStringLiteral("SELECT DataID FROM main.Sessions WHERE UUID = ?1"), {uuid});
    if (stored.step())
        return stored.int64(0);
    const qint64 id = StoredTest::insertRow(con, dataRow);
    Statement(con.handle(),
              QStringLiteral("INSERT INTO main.Sessions (UUID, DataID, Station, DesignPath, DesignSHA256, StartedUTC, "
                             "FinishedUTC, ProgramVersion, ScreenWidth, ScreenHeight, DevicePixelRatio, Mode, "
                             "RefreshRate, Compositor) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, "
                             "?13, ?14)"),
              sessionValues(result, uuid, id))
        .run();
    Statement presentation(con.handle(),
                           QStringLiteral("INSERT INTO main.Presentations (SessionUUID, Nr, Task, LevelIndex, Level, "
                                          "Efficiency, OnsetMs, ResponseMs, Key, TypedAnswer, Judgement) "
                                          "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)"));
    for (int i = 0; i < result.presentations.size(); ++i) {
        presentation.reset();
        presentation.bindAll(presentationValues(result, i, uuid));
        presentation.run();
    }
    return id;
}

QString databasePath(const ResultsDatabase &con)
{
    if (!con.fileName().isEmpty())
        return con.fileName();
    const QString described = ConnectionString::parse(con.connectionString()).dataSourcePath();
    // Never connected: the program looks for its database in the working directory.
    return described.isEmpty() ? QDir::current().absoluteFilePath(QStringLiteral("Kalvestrin.mdb")) : described;
}

// Why a closed connection cannot take the test.
StoreFailure closedConnectionFailure(const QString &path)
{
    const QFileInfo file(path);
    if (!file.exists())
        return StoreFailure(StoreFailure::Reason::Missing, path);
    // As the process acts (its effective user), which QFileInfo does not ask.
    auto writable = [](const QString &p) {
        return ::faccessat(AT_FDCWD, QFile::encodeName(p).constData(), W_OK, AT_EACCESS) == 0;
    };
    if (!writable(path) || !writable(file.absolutePath()))
        return StoreFailure(StoreFailure::Reason::ReadOnly, path);
    return StoreFailure(StoreFailure::Reason::NotConnected, path);
}

// SQLite keeps writing into a file that was deleted or renamed while it was
// open; what it writes there is lost.
bool hasMoved(ResultsDatabase &con)
{
    int moved = 0;
    return sqlite3_file_control(con.handle(), "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK && moved != 0;
}

// The errno behind the last failure: SQLite keeps it per file, and a write
// that fails in the WAL leaves the connection's own record empty.
int lastSystemErrno(ResultsDatabase &con)
{
    if (const int e = sqlite3_system_errno(con.handle()))
        return e;
    for (const int op : {SQLITE_FCNTL_JOURNAL_POINTER, SQLITE_FCNTL_FILE_POINTER}) {
        sqlite3_file *file = nullptr;
        int e = 0;
        if (sqlite3_file_control(con.handle(), "main", op, &file) == SQLITE_OK && file && file->pMethods &&
            file->pMethods->xFileControl(file, SQLITE_FCNTL_LAST_ERRNO, &e) == SQLITE_OK && e != 0)
            return e;
    }
    return 0;
}

} // namespace

qint64 StoreFinishedTest(ResultsDatabase &con, const SessionResult &result, QChar separator)
{
    const QString path = databasePath(con);
    if (!con.isOpen())
        throw closedConnectionFailure(path);
    QVariantList dataRow;
    try {
        dataRow = StoredTest::values(result, separator);
    } catch (const Failure &failure) {
        throw StoreFailure(StoreFailure::Reason::Refused, path, failure.text());
    }
    // A test without a name (never journalled) is still stored whole, only
    // not recognisable when handed over again.
    const QUuid uuid = result.session.uuid.isNull() ? QUuid::createUuid() : result.session.uuid;
    const QString uuidText = uuid.toString(QUuid::WithoutBraces);

    int code = SQLITE_OK;
    int systemErrno = 0;
    QString detail;
    {
        std::optional<ResultsDatabase::Transaction> transaction;
        try {
            transaction.emplace(con);
            if (hasMoved(con))
                throw StoreFailure(StoreFailure::Reason::Missing, path);
            const qint64 id = writeRows(con, result, dataRow, uuidText);
            transaction->commit();
            return id;
        } catch (const StoreFailure &) {
            throw;
        } catch (const Failure &failure) {
            // Read before the rollback resets them.
            code = sqlite3_extended_errcode(con.handle());
            systemErrno = lastSystemErrno(con);
            detail = failure.text();
        }
    }
    throw StoreFailure::fromSqlite(path, code, systemErrno, detail);
}
