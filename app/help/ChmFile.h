#pragma once

// Read access to one compiled HTML help file (.chm): which objects it holds
// and their bytes. Object paths are absolute inside the file ("/1.htm",
// "/stil.css"); a path without its leading "/" is taken as if it had one.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

struct chmFile;

class ChmFile
{
public:
    ChmFile() = default;
    ~ChmFile();
    ChmFile(const ChmFile &) = delete;
    ChmFile &operator=(const ChmFile &) = delete;

    // Closes what was open first. False, with nothing open, when the file is
    // missing or is not a compiled help file.
    bool open(const QString &path);
    void close();
    bool isOpen() const { return m_handle != nullptr; }
    QString path() const { return m_path; }

    bool contains(const QString &objectPath) const;
    // The whole object; nothing when the file has no such object or it cannot be read.
    std::optional<QByteArray> read(const QString &objectPath) const;
    // The ordinary files inside (pages, style sheets, pictures, the tables of
    // contents), without the compiler's own bookkeeping objects.
    QStringList files() const;

private:
    chmFile *m_handle = nullptr;
    QString m_path;
};
