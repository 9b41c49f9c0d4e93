#include "database/central/ServerSettings.h"

#include "common/Failure.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <libpq-fe.h>

namespace {

const QString Section = QStringLiteral("CentralDatabase");

// A value as libpq's keyword form takes it: quoted, backslash and quote escaped.
QString quoted(const QString &value)
{
    QString escaped = value;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    escaped.replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

} // namespace

QString ServerSettings::conninfo() const
{
    QStringList parts;
    if (!host.isEmpty())
        parts << QStringLiteral("host=") + quoted(host);
    if (port > 0)
        parts << QStringLiteral("port=%1").arg(port);
    parts << QStringLiteral("dbname=") + quoted(database);
    if (!user.isEmpty())
        parts << QStringLiteral("user=") + quoted(user);
    if (!sslMode.isEmpty())
        parts << QStringLiteral("sslmode=") + quoted(sslMode);
    return parts.join(QLatin1Char(' '));
}

ServerSettings ServerSettings::fromConninfo(const QString &conninfo)
{
    char *error = nullptr;
    PQconninfoOption *options = PQconninfoParse(conninfo.toUtf8().constData(), &error);
    if (!options) {
        const QString reason = error ? QString::fromUtf8(error).trimmed() : QString();
        if (error)
            PQfreemem(error);
        throw Failure(QStringLiteral("Opis veze sa središnjom bazom podataka nije ispravan: %1").arg(reason));
    }
    ServerSettings s;
    bool password = false;
    QString portText;
    for (PQconninfoOption *o = options; o->keyword; ++o) {
        if (!o->val || !*o->val)
            continue;
        const QString key = QString::fromLatin1(o->keyword);
        const QString value = QString::fromUtf8(o->val);
        if (key == QLatin1String("password"))
            password = true;
        else if (key == QLatin1String("host"))
            s.host = value;
        else if (key == QLatin1String("port"))
            portText = value;
        else if (key == QLatin1String("dbname"))
            s.database = value;
        else if (key == QLatin1String("user"))
            s.user = value;
        else if (key == QLatin1String("sslmode"))
            s.sslMode = value;
    }
    PQconninfoFree(options);
    if (password)
        throw Failure(QStringLiteral("Opis veze ne smije sadržavati lozinku: lozinka se upisuje u datoteku lozinki "
                                     "(.pgpass) korisnika računala."));
    bool ok = portText.isEmpty();
    s.port = portText.isEmpty() ? 0 : portText.toInt(&ok);
    if (!ok || s.port < 0 || s.port > 65535)
        throw Failure(QStringLiteral("Opis veze navodi neispravan port \"%1\".").arg(portText));
    if (s.database.isEmpty())
        throw Failure(QStringLiteral("Opis veze ne navodi bazu podataka (dbname)."));
    return s;
}

bool ServerSettings::looksLikeConninfo(const QString &text)
{
    // An existing file is a file, whatever its name holds.
    if (QFileInfo::exists(text))
        return false;
    return text.startsWith(QLatin1String("postgresql://")) || text.startsWith(QLatin1String("postgres://")) ||
           text.contains(QLatin1Char('='));
}

QString ServerSettings::iniPath(const QString &dataFolder)
{
    return QDir(dataFolder).filePath(QStringLiteral("Kalvestrin.ini"));
}

ServerSettings ServerSettings::read(const QString &dataFolder)
{
    const QSettings ini(iniPath(dataFolder), QSettings::IniFormat);
    ServerSettings s;
    s.host = ini.value(Section + QStringLiteral("/Host")).toString();
    s.port = ini.value(Section + QStringLiteral("/Port")).toInt();
    s.database = ini.value(Section + QStringLiteral("/Database")).toString();
    s.user = ini.value(Section + QStringLiteral("/User")).toString();
    s.sslMode = ini.value(Section + QStringLiteral("/SslMode")).toString();
    return s;
}

void ServerSettings::write(const QString &dataFolder) const
{
    QSettings ini(iniPath(dataFolder), QSettings::IniFormat);
    ini.beginGroup(Section);
    ini.setValue(QStringLiteral("Host"), host);
    ini.setValue(QStringLiteral("Port"), port);
    ini.setValue(QStringLiteral("Database"), database);
    ini.setValue(QStringLiteral("User"), user);
    ini.setValue(QStringLiteral("SslMode"), sslMode);
    ini.endGroup();
    ini.sync();
    if (ini.status() != QSettings::NoError)
        throw Failure(QStringLiteral("Postavke se ne mogu zapisati u datoteku \"%1\".").arg(iniPath(dataFolder)));
}
