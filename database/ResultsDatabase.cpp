#include "database/ResultsDatabase.h"

#include "common/Failure.h"
#include "database/ConnectionString.h"
#include "database/ResultsSchema.h"
#include "database/SessionSchema.h"
#include "database/SqliteValues.h"
#include "database/Statement.h"

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
        throw Failure(QStringLiteral("Datoteka baze podataka \"%1\" ne postoji.").arg(path));

    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    try {
        if (rc != SQLITE_OK)
            throw Failure(SqliteValues::errorText(rc, path, QString::fromUtf8(sqlite3_errstr(rc))));
        sqlite3_extended_result_codes(db, 1);
        if (sqlite3_busy_timeout(db, BusyTimeoutMs) != SQLITE_OK)
            throw Failure(SqliteValues::errorText(db));
        // A database we cannot write would turn every finished test into an
        // error. Refused before anything is read: reading a WAL database through
        // a read-only file leaves its -shm read-only behind, and that would keep
        // refusing every write after the file is made writable again.
        if (sqlite3_db_readonly(db, "main") != 0)
            throw Failure(
                SqliteValues::errorText(SQLITE_READONLY, path, QString::fromUtf8(sqlite3_errstr(SQLITE_READONLY))));
        // Reading the schema is what tells a foreign file (an old Access
        // database, an empty file) from ours; SQLite writes nothing before.
        requireResultsTable(db, path);
        setPragmas(db, path);
        m_queries.open(path);
    } catch (...) {
        sqlite3_close_v2(db);
        throw;
    }
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

void ResultsDatabase::requireResultsTable(sqlite3 *db, const QString &path)
{
    Statement info(db, QStringLiteral("SELECT name FROM pragma_table_info('Data', 'main')"));
    QStringList present;
    while (info.step())
        present << info.text(0).toLower();
    QStringList missing;
    for (const QString &column : ResultsSchema::columnNames()) {
        if (!present.contains(column.toLower()))
            missing << column;
    }
    if (!missing.isEmpty())
        throw Failure(QStringLiteral("Datoteka \"%1\" nije baza podataka rezultata: tablici Data nedostaju stupci %2.")
                          .arg(path, missing.join(QLatin1String(", "))));
}

void ResultsDatabase::setPragmas(sqlite3 *db, const QString &path)
{
    auto exec = [db](const char *sql) {
        if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            throw Failure(SqliteValues::errorText(db));
    };
    // WAL keeps a stored test through a power cut and lets a second instance
    // read while we write; where the file system cannot share memory for it,
    // the rollback journal with full syncs is the durable fallback.
    // The pragma answers with the mode in force, which is how a refused WAL shows.
    auto journalMode = [db](const QString &mode) {
        Statement pragma(db, QStringLiteral("PRAGMA journal_mode=%1;").arg(mode));
        return pragma.step() ? pragma.text(0).toLower() : QString();
    };
    QString mode;
    try {
        mode = journalMode(QStringLiteral("WAL"));
    } catch (const Failure &) {
    }
    if (mode != QLatin1String("wal") && (mode = journalMode(QStringLiteral("DELETE"))) != QLatin1String("delete"))
        throw Failure(
            QStringLiteral("Baza podataka \"%1\" ne može voditi dnevnik promjena (journal_mode %2).").arg(path, mode));
    exec("PRAGMA synchronous=FULL;");
    // The grid reads pages at an offset, which walks the table: mapped and
    // cached pages keep that walk out of system calls.
    exec("PRAGMA mmap_size=268435456; PRAGMA cache_size=-32768;");
}

void ResultsDatabase::close()
{
    m_queries.close();
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
    Statement stmt(m_db, statement);
    if (!stmt.isValid())
        return 0;
    stmt.bindAll(values);
    return stmt.run();
}

void ResultsDatabase::executeScript(const QString &script)
{
    requireOpen();
    if (sqlite3_exec(m_db, script.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        throw Failure(SqliteValues::errorText(m_db));
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
    // A rollback that fails leaves SQLite to roll back when the connection
    // closes; a destructor has nobody to tell.
    if (m_open && m_db.m_db)
        sqlite3_exec(m_db.m_db, "ROLLBACK;", nullptr, nullptr, nullptr);
}

void ResultsDatabase::Transaction::commit()
{
    m_db.executeScript(QStringLiteral("COMMIT;"));
    m_open = false;
}
