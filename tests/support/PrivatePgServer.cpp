#include "tests/support/PrivatePgServer.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <pwd.h>
#include <unistd.h>

#include <algorithm>

namespace {

// The `postgres` user, when we are root (PostgreSQL will not run as root) and it exists.
const passwd *postgresUser()
{
    return ::geteuid() == 0 ? ::getpwnam("postgres") : nullptr;
}

} // namespace

PrivatePgServer::PrivatePgServer()
    : m_dir(QDir::tempPath() + QStringLiteral("/kpg-XXXXXX"))
    , m_bin(binDir())
{
    if (const passwd *pw = postgresUser();
        pw && ::chown(QFile::encodeName(m_dir.path()).constData(), pw->pw_uid, pw->pw_gid) != 0)
        qWarning("cannot give %s to postgres", qPrintable(m_dir.path()));
    qputenv("PGPASSFILE", QFile::encodeName(m_dir.filePath(QStringLiteral("pgpass"))));
}

PrivatePgServer::~PrivatePgServer()
{
    stop(true);
}

QString PrivatePgServer::binDir()
{
    QDir root(QStringLiteral("/usr/lib/postgresql"));
    QStringList versions = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(),
              [](const QString &a, const QString &b) { return a.toDouble() > b.toDouble(); });
    for (const QString &v : versions) {
        const QString bin = root.filePath(v + QStringLiteral("/bin"));
        if (QFile::exists(bin + QStringLiteral("/initdb")) && QFile::exists(bin + QStringLiteral("/pg_ctl")))
            return bin;
    }
    return {};
}

bool PrivatePgServer::run(const QString &program, const QStringList &args, QString *error) const
{
    QProcess p;
    if (postgresUser()) {
        p.setProgram(QStringLiteral("runuser"));
        p.setArguments(QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"), program} +
                       args);
    } else {
        p.setProgram(program);
        p.setArguments(args);
    }
    p.setWorkingDirectory(m_dir.path());
    p.start();
    const bool finished = p.waitForFinished(120000);
    if (finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
        return true;
    if (error)
        *error = QStringLiteral("%1 failed: %2%3")
                     .arg(program, QString::fromUtf8(p.readAllStandardError()),
                          QString::fromUtf8(p.readAllStandardOutput()));
    return false;
}

bool PrivatePgServer::start(QString *error, bool durable)
{
    if (m_bin.isEmpty()) {
        *error = QStringLiteral("no PostgreSQL under /usr/lib/postgresql");
        return false;
    }
    const QString data = m_dir.filePath(QStringLiteral("data"));
    if (!run(m_bin + QStringLiteral("/initdb"),
             {QStringLiteral("-D"), data, QStringLiteral("-U"), QStringLiteral("postgres"), QStringLiteral("-E"),
              QStringLiteral("UTF8"), QStringLiteral("--locale=C.UTF-8"), QStringLiteral("--no-sync"),
              QStringLiteral("-A"), QStringLiteral("trust")},
             error))
        return false;
    // Root reads and appends the files the server owns.
    QFile hba(data + QStringLiteral("/pg_hba.conf"));
    if (!hba.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    hba.write("local all postgres trust\nlocal all all scram-sha-256\n");
    hba.close();
    QFile conf(data + QStringLiteral("/postgresql.conf"));
    if (!conf.open(QIODevice::Append))
        return false;
    conf.write(QStringLiteral("listen_addresses = ''\nunix_socket_directories = '%1'\nmax_connections = 50\n"
                              "fsync = %2\nlc_messages = 'C'\n")
                   .arg(m_dir.path(), durable ? QStringLiteral("on") : QStringLiteral("off"))
                   .toUtf8());
    conf.close();
    return restart(error);
}

bool PrivatePgServer::restart(QString *error)
{
    const QString data = m_dir.filePath(QStringLiteral("data"));
    m_running = run(m_bin + QStringLiteral("/pg_ctl"),
                    {QStringLiteral("start"), QStringLiteral("-w"), QStringLiteral("-D"), data, QStringLiteral("-l"),
                     m_dir.filePath(QStringLiteral("server.log"))},
                    error);
    return m_running;
}

void PrivatePgServer::stop(bool immediate)
{
    if (!m_running)
        return;
    run(m_bin + QStringLiteral("/pg_ctl"),
        {QStringLiteral("stop"), QStringLiteral("-w"), QStringLiteral("-D"), m_dir.filePath(QStringLiteral("data")),
         QStringLiteral("-m"), immediate ? QStringLiteral("immediate") : QStringLiteral("fast")},
        nullptr);
    m_running = false;
}

QString PrivatePgServer::conninfo(const QString &user, const QString &dbname) const
{
    return QStringLiteral("host=%1 port=5432 dbname=%2 user=%3").arg(m_dir.path(), dbname, user);
}

void PrivatePgServer::addPassword(const QString &user, const QString &password)
{
    QFile file(m_dir.filePath(QStringLiteral("pgpass")));
    if (file.open(QIODevice::Append)) {
        file.write(QStringLiteral("%1:5432:*:%2:%3\n").arg(m_dir.path(), user, password).toUtf8());
        file.close();
    }
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

QString PrivatePgServer::psql(const QString &sql, const QString &dbname, QString *error) const
{
    QProcess p;
    p.start(m_bin + QStringLiteral("/psql"),
            {QStringLiteral("-X"), QStringLiteral("-A"), QStringLiteral("-t"), QStringLiteral("-v"),
             QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-d"), conninfo(QStringLiteral("postgres"), dbname),
             QStringLiteral("-c"), sql});
    p.waitForFinished(120000);
    if (p.exitCode() != 0 && error)
        *error = QString::fromUtf8(p.readAllStandardError());
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}
