#pragma once

// A PostgreSQL server of the tests' own: initdb into a temporary folder, the
// Unix socket in that folder, no TCP port, started with pg_ctl and stopped
// when the object goes. PostgreSQL refuses to run as root; when the tests do,
// the server runs as the `postgres` user the Debian package creates. The
// superuser `postgres` connects without a password; every other role needs
// one, from the password file the server writes (PGPASSFILE is set to it for
// this process and the tools it starts).

#include <QString>
#include <QTemporaryDir>

class PrivatePgServer
{
public:
    PrivatePgServer();
    ~PrivatePgServer();
    PrivatePgServer(const PrivatePgServer &) = delete;
    PrivatePgServer &operator=(const PrivatePgServer &) = delete;

    // The bin folder of the newest installed PostgreSQL, empty when there is none.
    static QString binDir();

    // initdb and start; false with `error` set when it could not be done.
    // `durable` keeps fsync on (benchmarks); tests run without it.
    bool start(QString *error, bool durable = false);
    // pg_ctl stop -m fast, or immediate (a crash as far as clients can tell).
    void stop(bool immediate = false);
    // Starts the stopped server again on the same data.
    bool restart(QString *error = nullptr);
    bool isRunning() const { return m_running; }

    // A connection string for `user` on database `dbname` through the socket.
    QString conninfo(const QString &user = QStringLiteral("postgres"),
                     const QString &dbname = QStringLiteral("postgres")) const;
    // Adds `user`'s password for this server to the password file.
    void addPassword(const QString &user, const QString &password);
    // Runs one statement as the superuser (psql); its output, or empty with `error` set.
    QString psql(const QString &sql, const QString &dbname = QStringLiteral("postgres"),
                 QString *error = nullptr) const;
    QString folder() const { return m_dir.path(); }

private:
    bool run(const QString &program, const QStringList &args, QString *error) const;

    QTemporaryDir m_dir;
    QString m_bin;
    bool m_running = false;
};
