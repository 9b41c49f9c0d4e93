#include "database/ResultsSchema.h"

#include "common/Failure.h"
#include "database/SessionSchema.h"
#include "database/SqliteValues.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <sqlite3.h>

const QString &ResultsSchema::createTableSql()
{
    static const QString sql = QStringLiteral(
        "CREATE TABLE Data (\n"
        "  ID INTEGER PRIMARY KEY AUTOINCREMENT,\n"
        "  Name VARCHAR(40) CHECK (Name IS NULL OR (typeof(Name) = 'text' AND length(Name) <= 40)),\n"
        "  Surname VARCHAR(40) CHECK (Surname IS NULL OR (typeof(Surname) = 'text' AND length(Surname) <= 40)),\n"
        "  Age INTEGER CHECK (Age IS NULL OR typeof(Age) = 'integer'),\n"
        "  Gender BOOLEAN CHECK (Gender IS NULL OR (typeof(Gender) = 'integer' AND Gender IN (0, 1))),\n"
        "  N INTEGER CHECK (N IS NULL OR typeof(N) = 'integer'),\n"
        "  M DOUBLE CHECK (M IS NULL OR typeof(M) = 'real'),\n"
        "  V DOUBLE CHECK (V IS NULL OR typeof(V) = 'real'),\n"
        "  Items TEXT CHECK (Items IS NULL OR typeof(Items) = 'text'),\n"
        "  Field1 VARCHAR(100) CHECK (Field1 IS NULL OR (typeof(Field1) = 'text' AND length(Field1) <= 100)),\n"
        "  Field2 VARCHAR(100) CHECK (Field2 IS NULL OR (typeof(Field2) = 'text' AND length(Field2) <= 100)),\n"
        "  Field3 VARCHAR(100) CHECK (Field3 IS NULL OR (typeof(Field3) = 'text' AND length(Field3) <= 100))\n"
        ");\n");
    return sql;
}

const QStringList &ResultsSchema::columnNames()
{
    static const QStringList names = {QStringLiteral("ID"),     QStringLiteral("Name"),   QStringLiteral("Surname"),
                                      QStringLiteral("Age"),    QStringLiteral("Gender"), QStringLiteral("N"),
                                      QStringLiteral("M"),      QStringLiteral("V"),      QStringLiteral("Items"),
                                      QStringLiteral("Field1"), QStringLiteral("Field2"), QStringLiteral("Field3")};
    return names;
}

void ResultsSchema::createDatabase(const QString &path)
{
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        throw Failure(QStringLiteral("Datoteka \"%1\" već postoji; ostavljena je kakva jest.").arg(path));

    const QFileInfo target(path);
    QString temporaryPath;
    {
        QTemporaryFile temporary(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                                 QStringLiteral(".XXXXXX"));
        if (!temporary.open())
            throw Failure(
                QStringLiteral("Datoteka \"%1\" ne može se napraviti: %2").arg(path, temporary.errorString()));
        temporary.setAutoRemove(false);
        temporaryPath = temporary.fileName();
    }
    auto removeTemporary = [&] {
        for (const char *suffix : {"", "-wal", "-shm", "-journal"})
            QFile::remove(temporaryPath + QLatin1String(suffix));
    };

    sqlite3 *db = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(temporaryPath).constData(), &db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    QString error;
    if (rc == SQLITE_OK) {
        const QByteArray script = (QStringLiteral("PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; BEGIN;") +
                                   createTableSql() + SessionSchema::createTablesSql() + QStringLiteral("COMMIT;"))
                                      .toUtf8();
        rc = sqlite3_exec(db, script.constData(), nullptr, nullptr, nullptr);
    }
    if (rc != SQLITE_OK)
        error = SqliteValues::errorText(db);
    // Closing the last connection checkpoints the WAL into the file, so the
    // renamed file is complete on its own.
    if (sqlite3_close(db) != SQLITE_OK && error.isEmpty())
        error = SqliteValues::errorText(db);
    if (!error.isEmpty()) {
        removeTemporary();
        throw Failure(QStringLiteral("Datoteka \"%1\" ne može se napraviti: %2").arg(path, error));
    }
    // A temporary file is private to its owner; the database is an ordinary file.
    QFile::setPermissions(temporaryPath, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser |
                                             QFile::ReadGroup | QFile::ReadOther);
    // QFile::rename never replaces a file that appeared meanwhile.
    if (!QFile::rename(temporaryPath, path)) {
        removeTemporary();
        throw Failure(QStringLiteral("Datoteka \"%1\" ne može se zapisati.").arg(path));
    }
    removeTemporary();
}
