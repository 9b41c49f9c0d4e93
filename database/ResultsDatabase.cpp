#include "database/ResultsDatabase.h"

#include "common/Failure.h"
#include "database/ConnectionString.h"
#include "database/SessionSchema.h"
#include "database/SqliteValues.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

ResultsDatabase::~ResultsDatabase()
{
    close();
}

void ResultsDatabase::open()
{
    close();
    const QString path = ConnectionString::parse(m_connectionString).dataSourcePath();
    if (path.isEmpty())
        throw Failure(QStringLiteral("Opis veze ne navodi datoteku baze podataka (Data Source)."));
    // SQLite would otherwise create an empty database on the way.
    if (!QFileInfo(path).isFile())
        throw Failure(QStringLiteral("unable to open database file: %1").arg(path));

    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    auto fail = [&db](const QString &text) {
        sqlite3_close_v2(db);
        db = nullptr;
        throw Failure(text);
    };
    if (rc != SQLITE_OK)
        fail(SqliteValues::errorText(db));
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, BusyTimeoutMs);

    // A database we cannot write would turn every finished test into an
    // error. Refused before anything is read: reading a WAL database through
    // a read-only file leaves its -shm read-only behind, and that would keep
    // refusing every write after the file is made writable again.
    if (sqlite3_db_readonly(db, "main") != 0)
        fail(QStringLiteral("attempt to write a readonly database"));
    // Reading the schema is what tells a foreign file (an old Access
    // database) from ours; SQLite writes nothing before it knows.
    if (sqlite3_exec(db, "SELECT count(*) FROM sqlite_schema;", nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(SqliteValues::errorText(db));

    // WAL keeps a stored test through a power cut and lets a second instance
    // read while we write; where the file system cannot share memory for it,
    // the rollback journal with full syncs is the durable fallback.
    if (sqlite3_exec(db, "PRAGMA journal_mode=WAL;", nullptr, nullptr, nullptr) != SQLITE_OK)
        sqlite3_exec(db, "PRAGMA journal_mode=DELETE;", nullptr, nullptr, nullptr);
    if (sqlite3_exec(db, "PRAGMA synchronous=FULL;", nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(SqliteValues::errorText(db));
    // The grid reads pages at an offset, which walks the table: mapped and
    // cached pages keep that walk out of system calls.
    sqlite3_exec(db, "PRAGMA mmap_size=268435456; PRAGMA cache_size=-32768;", nullptr, nullptr, nullptr);

    m_db = db;
    m_fileName = path;
    // A database of an earlier version gets the tables of presentations here.
    try {
        SessionSchema::upgrade(*this);
    } catch (const Failure &) {
        close();
        throw;
    }
}

void ResultsDatabase::close()
{
    if (!m_db)
        return;
    // _v2: statements still prepared elsewhere keep the handle alive until
    // they are finalised, instead of the close failing.
    sqlite3_close_v2(m_db);
    m_db = nullptr;
}

void ResultsDatabase::requireOpen() const
{
    if (!m_db)
        throw Failure(QStringLiteral("Veza s bazom podataka nije otvorena."));
}

qint64 ResultsDatabase::execute(const QString &statement, const QVariantList &values)
{
    requireOpen();
    const QByteArray sql = statement.toUtf8();
    sqlite3_stmt *stmt = nullptr;
    const char *tail = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &stmt, &tail) != SQLITE_OK)
        throw Failure(SqliteValues::errorText(m_db));
    struct Finaliser
    {
        sqlite3_stmt *s;
        ~Finaliser() { sqlite3_finalize(s); }
    } finaliser{stmt};
    if (!stmt)
        return 0;
    if (sqlite3_bind_parameter_count(stmt) != values.size())
        throw Failure(QStringLiteral("Naredba traži %1 vrijednosti, dano ih je %2.")
                          .arg(sqlite3_bind_parameter_count(stmt))
                          .arg(values.size()));
    for (int i = 0; i < values.size(); ++i)
        SqliteValues::bind(stmt, i + 1, values[i]);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        throw Failure(SqliteValues::errorText(m_db));
    return sqlite3_changes64(m_db);
}

void ResultsDatabase::executeScript(const QString &script)
{
    requireOpen();
    char *message = nullptr;
    if (sqlite3_exec(m_db, script.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        const QString text = message ? QString::fromUtf8(message) : SqliteValues::errorText(m_db);
        sqlite3_free(message);
        throw Failure(text);
    }
}

qint64 ResultsDatabase::lastInsertId() const
{
    return m_db ? sqlite3_last_insert_rowid(m_db) : 0;
}

ResultsDatabase::Transaction::Transaction(ResultsDatabase &db)
    : m_db(db)
{
    m_db.executeScript(QStringLiteral("BEGIN IMMEDIATE;"));
    m_open = true;
}

ResultsDatabase::Transaction::~Transaction()
{
    if (m_open && m_db.m_db)
        sqlite3_exec(m_db.m_db, "ROLLBACK;", nullptr, nullptr, nullptr);
}

void ResultsDatabase::Transaction::commit()
{
    m_db.executeScript(QStringLiteral("COMMIT;"));
    m_open = false;
}
