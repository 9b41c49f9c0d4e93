#include "database/SqliteValues.h"

#include <sqlite3.h>

namespace SqliteValues {

namespace {

QString whatHappened(int code, const QString &file)
{
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("Baza podataka %1 je zauzeta: drugi program upravo radi s njom. Pokušajte ponovno "
                              "malo kasnije.")
            .arg(file);
    case SQLITE_CANTOPEN: return QStringLiteral("Datoteka baze podataka %1 ne može se otvoriti.").arg(file);
    case SQLITE_NOTADB: return QStringLiteral("Datoteka %1 nije baza podataka.").arg(file);
    case SQLITE_CORRUPT: return QStringLiteral("Datoteka baze podataka %1 je oštećena.").arg(file);
    case SQLITE_READONLY: return QStringLiteral("U bazu podataka %1 ne može se pisati.").arg(file);
    case SQLITE_PERM: return QStringLiteral("Nema dopuštenja za rad s datotekom %1.").arg(file);
    case SQLITE_FULL: return QStringLiteral("Disk je pun: baza podataka %1 ne može primiti nove podatke.").arg(file);
    case SQLITE_IOERR: return QStringLiteral("Greška pri čitanju ili pisanju datoteke %1.").arg(file);
    case SQLITE_NOMEM: return QStringLiteral("Nema dovoljno memorije za rad s bazom podataka %1.").arg(file);
    case SQLITE_CONSTRAINT: return QStringLiteral("Baza podataka %1 ne prihvaća ovu vrijednost.").arg(file);
    case SQLITE_INTERRUPT: return QStringLiteral("Izvođenje naredbe nad bazom podataka %1 je prekinuto.").arg(file);
    case SQLITE_AUTH:
        return QStringLiteral("Naredba nad bazom podataka %1 traži nešto što program ne dopušta.").arg(file);
    default: return QStringLiteral("Naredba nad bazom podataka %1 nije uspjela.").arg(file);
    }
}

} // namespace

QString errorText(sqlite3 *db)
{
    if (!db)
        return errorText(SQLITE_NOMEM, QString(), QStringLiteral("out of memory"));
    const char *file = sqlite3_db_filename(db, "main");
    return errorText(sqlite3_extended_errcode(db), file && *file ? QString::fromUtf8(file) : QString(),
                     QString::fromUtf8(sqlite3_errmsg(db)));
}

QString errorText(int code, const QString &path, const QString &sqliteText)
{
    const QString file = QLatin1Char('"') + path + QLatin1Char('"');
    return whatHappened(code, file) + QStringLiteral(" (SQLite: %1)").arg(sqliteText);
}

QString quoteIdentifier(const QString &name)
{
    QString quoted = name;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QVariant utcValue(const QDateTime &time)
{
    return time.isValid() ? QVariant(time.toUTC().toString(Qt::ISODateWithMs)) : QVariant();
}

QDateTime utcOf(const QVariant &value)
{
    return QDateTime::fromString(value.toString(), Qt::ISODateWithMs).toUTC();
}

QVariant compositorValue(SessionInfo::Compositor compositor)
{
    if (compositor == SessionInfo::Compositor::Unknown)
        return {};
    return compositor == SessionInfo::Compositor::Yes ? 1 : 0;
}

SessionInfo::Compositor compositorOf(const QVariant &value)
{
    if (value.isNull())
        return SessionInfo::Compositor::Unknown;
    return value.toInt() != 0 ? SessionInfo::Compositor::Yes : SessionInfo::Compositor::No;
}

} // namespace SqliteValues
