#pragma once

// A station's setting for the central database, kept in Kalvestrin.ini in
// the data folder, section [CentralDatabase]: host, port, database, user and
// sslmode. No password is ever kept there: libpq reads it from its own
// password file (~/.pgpass, or the file PGPASSFILE names). With no section
// (or no database in it) the station works on its own results database only.

#include <QString>

struct ServerSettings
{
    QString host; // a name, an address or a socket folder; empty: libpq's default
    int port = 0; // 0: libpq's default (5432)
    QString database;
    QString user;
    QString sslMode; // disable ... verify-full; empty: libpq's default (prefer)

    bool isConfigured() const { return !database.isEmpty(); }
    // A libpq connection string of these values (keyword form, quoted).
    QString conninfo() const;

    // From a libpq connection string or URI. Throws Failure for one libpq
    // cannot read, one holding a password, or one naming no database.
    static ServerSettings fromConninfo(const QString &conninfo);
    // Whether a command-line argument is a connection string rather than a
    // file: a postgresql:// (or postgres://) URI, or keyword=value pairs,
    // and no file of that name exists.
    static bool looksLikeConninfo(const QString &text);

    static QString iniPath(const QString &dataFolder);
    // The folder's setting; not configured when there is none.
    static ServerSettings read(const QString &dataFolder);
    // Writes the section, keeping whatever else the file holds. Throws Failure.
    void write(const QString &dataFolder) const;
};
