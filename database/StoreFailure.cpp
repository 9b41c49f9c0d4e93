#include "database/StoreFailure.h"

#include "database/ResultsDatabase.h"

#include <QDir>

#include <sqlite3.h>

#include <cerrno>

StoreFailure::StoreFailure(Reason reason, const QString &path, const QString &detail)
    : Failure(SaveFailedText + QStringLiteral("\n\n") + describe(reason, path, detail))
    , m_reason(reason)
    , m_path(path)
    , m_reasonText(describe(reason, path, detail))
{}

QString StoreFailure::describe(Reason reason, const QString &path, const QString &detail)
{
    const QString file = QDir::toNativeSeparators(path);
    switch (reason) {
    case Reason::Missing: return QStringLiteral("Datoteka %1 ne postoji ili je premještena.").arg(file);
    case Reason::NotConnected: return QStringLiteral("Program nije povezan s datotekom %1.").arg(file);
    case Reason::Locked:
        return QStringLiteral("Datoteka %1 je zaključana: drugi program u nju upisuje dulje od %2 s.")
            .arg(file)
            .arg(ResultsDatabase::BusyTimeoutMs / 1000);
    case Reason::ReadOnly: return QStringLiteral("U datoteku %1 nije dopušteno upisivati (samo za čitanje).").arg(file);
    case Reason::Full: return QStringLiteral("Na disku nema mjesta za upis u datoteku %1.").arg(file);
    case Reason::Refused: return QStringLiteral("Baza podataka %1 ne prima ove rezultate (%2).").arg(file, detail);
    case Reason::Other: break;
    }
    return QStringLiteral("Pogreška pri upisu u datoteku %1 (%2).").arg(file, detail);
}

StoreFailure StoreFailure::fromSqlite(const QString &path, int extendedCode, int systemErrno, const QString &detail)
{
    // A write refused by the file system surfaces as an I/O error or a
    // failed open of the WAL; errno tells full from read-only from the rest.
    const bool noRoom = systemErrno == ENOSPC || systemErrno == EFBIG || systemErrno == EDQUOT;
    const bool noWrite = systemErrno == EROFS || systemErrno == EACCES || systemErrno == EPERM;
    switch (extendedCode & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return StoreFailure(Reason::Locked, path);
    case SQLITE_READONLY:
        // SQLite refuses to write into a file that was unlinked or renamed under it.
        return StoreFailure(extendedCode == SQLITE_READONLY_DBMOVED ? Reason::Missing : Reason::ReadOnly, path);
    case SQLITE_FULL: return StoreFailure(Reason::Full, path);
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
        if (noRoom)
            return StoreFailure(Reason::Full, path);
        if (noWrite)
            return StoreFailure(Reason::ReadOnly, path);
        if (systemErrno == ENOENT)
            return StoreFailure(Reason::Missing, path);
        return StoreFailure(Reason::Other, path, detail);
    case SQLITE_CONSTRAINT:
    case SQLITE_MISMATCH:
    case SQLITE_TOOBIG:
    case SQLITE_RANGE:
    case SQLITE_ERROR: return StoreFailure(Reason::Refused, path, detail);
    default: return StoreFailure(Reason::Other, path, detail);
    }
}
