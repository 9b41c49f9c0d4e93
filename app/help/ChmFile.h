#pragma once

// Read access to one compiled HTML help file (.chm): which objects it holds
// and their bytes. Object paths are absolute inside the file ("/1.htm",
// "/stil.css"); a path without its leading "/" is taken as if it had one.
//
// chmlib trusts the file's headers: a damaged file divides by zero, crashes
// or reads past its buffers. So the file is read whole by chmlib in a child
// process, which hands every object back through a pipe; whatever goes wrong
// there only makes the file unreadable here. Help files are small.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

class ChmFile
{
public:
    // More than any help file of ours; a larger total means a damaged file.
    static constexpr qint64 MaxTotalSize = 64 * 1024 * 1024;
    // Our help file is read in milliseconds; a damaged one can send chmlib
    // round in circles, and the reader gives up after this time.
    static constexpr int DefaultTimeLimitMs = 5000;

    void setTimeLimit(int ms) { m_timeLimitMs = ms; }

    // Closes what was open first. False, with nothing open, when the file is
    // missing, is not a compiled help file or is damaged.
    bool open(const QString &path);
    void close();
    bool isOpen() const { return m_open; }
    QString path() const { return m_path; }

    bool contains(const QString &objectPath) const;
    // The whole object; nothing when the file has no such object.
    std::optional<QByteArray> read(const QString &objectPath) const;
    // The ordinary files inside (pages, style sheets, pictures, the tables of
    // contents), without the compiler's own bookkeeping objects.
    QStringList files() const;

private:
    int m_timeLimitMs = DefaultTimeLimitMs;
    bool m_open = false;
    QString m_path;
    QStringList m_files;
    QHash<QString, QByteArray> m_objects;
};
