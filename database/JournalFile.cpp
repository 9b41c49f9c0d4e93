#include "database/JournalFile.h"

#include "common/Failure.h"
#include "database/SqliteValues.h"
#include "database/Statement.h"
#include "session/DesignSnapshot.h"

#include <QDir>
#include <QFile>

#include <utility>

#include <sqlite3.h>

namespace {

const char *const Schema = R"(
CREATE TABLE IF NOT EXISTS Tests(
  Uuid TEXT PRIMARY KEY, State TEXT NOT NULL,
  Name TEXT, Surname TEXT, Age TEXT, Gender INTEGER, GenderText TEXT, Field1 TEXT, Field2 TEXT, Field3 TEXT,
  Design BLOB NOT NULL, DesignPath TEXT, DesignSha256 TEXT, Mode INTEGER, Station TEXT,
  StartedUtc TEXT NOT NULL, LeadNs INTEGER, ScreenWidth INTEGER, ScreenHeight INTEGER, DevicePixelRatio REAL,
  RefreshRate REAL, Compositor INTEGER, FinishedUtc TEXT, DurationNs INTEGER);
CREATE TABLE IF NOT EXISTS Answers(
  Test TEXT NOT NULL, Ordinal INTEGER NOT NULL, Task INTEGER, LevelIndex INTEGER, Level INTEGER,
  Efficiency REAL, OnsetNs INTEGER, ResponseNs INTEGER, Key TEXT, TypedAnswer TEXT, Judgement TEXT,
  PRIMARY KEY(Test, Ordinal)) WITHOUT ROWID;
PRAGMA user_version = 1;
)";

void exec(sqlite3 *db, const char *sql)
{
    char *message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const QString text = message ? QString::fromUtf8(message) : SqliteValues::errorText(db);
        sqlite3_free(message);
        throw Failure(text);
    }
}

QString uuidText(const QUuid &uuid)
{
    return uuid.toString(QUuid::WithoutBraces);
}

void insertTest(sqlite3 *db, const JournalTest &t)
{
    const Subject &s = t.subject;
    Statement(db,
              "INSERT OR REPLACE INTO Tests(Uuid, State, Name, Surname, Age, Gender, GenderText, Field1, Field2, "
              "Field3, Design, DesignPath, DesignSha256, Mode, Station, StartedUtc, LeadNs, ScreenWidth, "
              "ScreenHeight, DevicePixelRatio, RefreshRate, Compositor) VALUES (?1, 'running', ?2, ?3, ?4, ?5, ?6, "
              "?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, ?19, ?20, ?21)",
              {uuidText(t.info.uuid),
               s.Name,
               s.Surname,
               s.Age,
               s.Gender,
               s.GenderText,
               s.Field1,
               s.Field2,
               s.Field3,
               DesignSnapshot::compose(t.design),
               t.info.designPath,
               QString::fromLatin1(t.info.designSha256),
               int(t.design.testingMode),
               t.info.station,
               SqliteValues::utcValue(t.info.startedUtc),
               t.leadNs,
               t.info.screenSize.width(),
               t.info.screenSize.height(),
               t.info.devicePixelRatio,
               t.info.refreshRate,
               SqliteValues::compositorValue(t.info.compositor)})
        .step();
}

void insertAnswer(sqlite3 *db, const QString &uuid, int ordinal, const Presentation &p)
{
    Statement(db,
              "INSERT OR REPLACE INTO Answers(Test, Ordinal, Task, LevelIndex, Level, Efficiency, OnsetNs, "
              "ResponseNs, Key, TypedAnswer, Judgement) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)",
              {uuid, ordinal, p.task, p.levelIndex, p.level, p.efficiency, p.onsetNs, p.responseNs, p.key,
               p.typedAnswer, p.judgement})
        .step();
}

JournalTest testOf(const Statement &row)
{
    JournalTest t;
    t.info.uuid = QUuid::fromString(row.value(0).toString());
    t.state = row.value(1).toString() == QLatin1String("running") ? JournalTest::State::Running
                                                                  : JournalTest::State::FinishedNotStored;
    Subject &s = t.subject;
    s.Name = row.value(2).toString();
    s.Surname = row.value(3).toString();
    s.Age = row.value(4).toString();
    s.Gender = row.value(5).isValid() ? row.value(5).toInt() : -1;
    s.GenderText = row.value(6).toString();
    s.Field1 = row.value(7).toString();
    s.Field2 = row.value(8).toString();
    s.Field3 = row.value(9).toString();
    t.design = DesignSnapshot::parse(row.value(10).toByteArray());
    t.info.designPath = row.value(11).toString();
    t.info.designSha256 = row.value(12).toString().toLatin1();
    t.info.station = row.value(13).toString();
    t.info.startedUtc = SqliteValues::utcOf(row.value(14));
    t.startTime = t.info.startedUtc.toLocalTime();
    t.leadNs = row.value(15).toLongLong();
    t.info.screenSize = QSize(row.value(16).toInt(), row.value(17).toInt());
    t.info.devicePixelRatio = row.value(18).toDouble();
    t.info.refreshRate = row.value(19).toDouble();
    t.info.compositor = SqliteValues::compositorOf(row.value(20));
    if (!row.value(21).toString().isEmpty()) {
        t.info.finishedUtc = SqliteValues::utcOf(row.value(21));
        t.endTime = t.info.finishedUtc.toLocalTime();
    }
    t.durationNs = row.value(22).toLongLong();
    return t;
}

QList<Presentation> answersOf(sqlite3 *db, const QUuid &uuid)
{
    QList<Presentation> answers;
    Statement row(db,
                  "SELECT Task, LevelIndex, Level, Efficiency, OnsetNs, ResponseNs, Key, TypedAnswer, Judgement "
                  "FROM Answers WHERE Test = ?1 ORDER BY Ordinal",
                  {uuidText(uuid)});
    while (row.step()) {
        Presentation p;
        p.task = row.value(0).toInt();
        p.levelIndex = row.value(1).toInt();
        p.level = row.value(2).toInt();
        p.efficiency = row.value(3).toDouble();
        p.onsetNs = row.value(4).toLongLong();
        p.responseNs = row.value(5).toLongLong();
        p.key = row.value(6).toString();
        p.typedAnswer = row.value(7).toString();
        p.judgement = row.value(8).toString();
        answers.append(p);
    }
    return answers;
}

QList<JournalTest> readTests(sqlite3 *db)
{
    QList<JournalTest> tests;
    Statement row(
        db, "SELECT Uuid, State, Name, Surname, Age, Gender, GenderText, Field1, Field2, Field3, Design, "
            "DesignPath, DesignSha256, Station, StartedUtc, LeadNs, ScreenWidth, ScreenHeight, "
            "DevicePixelRatio, RefreshRate, Compositor, FinishedUtc, DurationNs FROM Tests ORDER BY StartedUtc, rowid");
    while (row.step()) {
        JournalTest t = testOf(row);
        t.answers = answersOf(db, t.info.uuid);
        if (!t.answers.isEmpty())
            tests.append(t);
    }
    return tests;
}

} // namespace

QString JournalFile::pathIn(const QString &dataFolder)
{
    return QDir(dataFolder).filePath(QLatin1String(FileName));
}

JournalFile::JournalFile(const QString &path)
{
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    try {
        if (rc != SQLITE_OK)
            throw Failure(SqliteValues::errorText(m_db));
        sqlite3_extended_result_codes(m_db, 1);
        sqlite3_busy_timeout(m_db, 5000);
        exec(m_db, "PRAGMA journal_mode=WAL;");
        exec(m_db, "PRAGMA synchronous=FULL;");
        exec(m_db, Schema);
        // A test cut off before its first answer leaves nothing to continue.
        exec(m_db, "DELETE FROM Tests WHERE State = 'running' AND Uuid NOT IN (SELECT Test FROM Answers);");
    } catch (const Failure &) {
        sqlite3_close_v2(m_db);
        throw;
    }
    m_thread = std::thread([this] { run(); });
}

JournalFile::~JournalFile()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
    sqlite3_close_v2(m_db);
}

void JournalFile::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || !m_queue.empty(); });
        if (m_queue.empty())
            return; // stopping, with everything written
        Work work = std::move(m_queue.front());
        m_queue.pop_front();
        m_busy = true;
        lock.unlock();
        QString error;
        try {
            work(m_db);
        } catch (const Failure &f) {
            error = f.text();
        }
        lock.lock();
        m_busy = false;
        if (!error.isEmpty() && m_error.isEmpty())
            m_error = error;
        if (m_queue.empty())
            m_idle.notify_all();
    }
}

void JournalFile::post(Work work)
{
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(work));
    }
    m_wake.notify_one();
}

void JournalFile::sync()
{
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return m_queue.empty() && !m_busy; });
    if (!m_error.isEmpty()) {
        const QString error = std::exchange(m_error, QString());
        throw Failure(QStringLiteral("Dnevnik testiranja ne može se zapisati: %1").arg(error));
    }
}

void JournalFile::begin(const JournalTest &test)
{
    post([test](sqlite3 *db) { insertTest(db, test); });
}

void JournalFile::answer(const QUuid &uuid, int ordinal, const Presentation &answer)
{
    post([uuid = uuidText(uuid), ordinal, answer](sqlite3 *db) { insertAnswer(db, uuid, ordinal, answer); });
}

void JournalFile::finish(const QUuid &uuid, const QDateTime &finishedUtc, qint64 durationNs)
{
    post([uuid = uuidText(uuid), finished = SqliteValues::utcValue(finishedUtc), durationNs](sqlite3 *db) {
        Statement(db,
                  "UPDATE Tests SET State = 'finished-not-stored', FinishedUtc = ?2, DurationNs = ?3 "
                  "WHERE Uuid = ?1",
                  {uuid, finished, durationNs})
            .step();
    });
    sync();
}

void JournalFile::remove(const QUuid &uuid)
{
    post([uuid = uuidText(uuid)](sqlite3 *db) {
        exec(db, "BEGIN IMMEDIATE;");
        try {
            Statement(db, "DELETE FROM Answers WHERE Test = ?1", {uuid}).step();
            Statement(db, "DELETE FROM Tests WHERE Uuid = ?1", {uuid}).step();
            exec(db, "COMMIT;");
        } catch (const Failure &) {
            sqlite3_exec(db, "ROLLBACK;", nullptr, nullptr, nullptr);
            throw;
        }
    });
    sync();
}

QList<JournalTest> JournalFile::tests()
{
    QList<JournalTest> tests;
    post([&tests](sqlite3 *db) { tests = readTests(db); });
    sync();
    return tests;
}
