#pragma once

// The export of one result table to a file of another program. The rows come
// from the results database as an ExportData value; one Exporter per file
// format writes them. Every file of an export is written under a temporary
// name through ExportFiles and renamed over its target only when all of them
// are complete, so a failed export leaves every old file as it was.

#include "database/export/ExportRows.h"

#include <QDateTime>
#include <QIODevice>
#include <QList>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <system_error>
#include <vector>

enum class ExportColumnType { Integer, Double, Boolean, Text };

struct ExportColumn
{
    QString name;
    ExportColumnType type = ExportColumnType::Text;
    // Text: the declared width (VARCHAR(n)), else the longest value in
    // characters (at least 1). Other types: 0.
    int width = 0;
    QString declaredType; // as declared in the table, empty for expressions
};

// Values: an invalid QVariant is NULL; otherwise qlonglong, double, bool or
// QString as the column's type says.
struct ExportData
{
    QString tableName;   // the INTO target without extension ("Data")
    QDateTime writtenAt; // the time the files record as their last change
    QList<ExportColumn> columns;
    ExportRows rows;
};

// The files of one export. create() gives a device writing a temporary file
// beside `finalPath`; the file created last is the main one, those before it
// its companions (a memo file, schema.ini). commit() flushes them all and puts
// them in place so that no reader ever pairs an old main file with a new
// companion or the other way round: the old main file goes aside first, the
// companions replace theirs, the new main file comes last; a failure on the
// way puts every old file back. Destroyed without a commit, it removes its
// temporaries.
class ExportFiles
{
public:
    // How a file is renamed; tests put one in that fails.
    using Rename = std::function<std::error_code(const QString &from, const QString &to)>;

    explicit ExportFiles(Rename rename = {});
    ~ExportFiles();
    ExportFiles(const ExportFiles &) = delete;
    ExportFiles &operator=(const ExportFiles &) = delete;

    QIODevice &create(const QString &finalPath);
    void commit(); // throws Failure

private:
    struct File;
    struct Moved;
    void rename(const QString &from, const QString &to, const QString &shownPath) const;
    void undo(std::vector<Moved> &moved) const;
    std::vector<std::unique_ptr<File>> m_files;
    Rename m_rename;
};

class Exporter
{
public:
    virtual ~Exporter() = default;
    // The format's name in messages ("Excel 5.0", "Lotus WK1").
    virtual QString formatName() const = 0;
    // Checks every limit before anything is written; throws Failure
    // ("ExportTable: Lotus WK1 holds at most 8191 rows.").
    virtual void check(const ExportData &data) const = 0;
    // Writes the table to `path` (and its companion files) through `files`.
    // Throws Failure.
    virtual void write(const ExportData &data, const QString &path, ExportFiles &files) const = 0;
};
