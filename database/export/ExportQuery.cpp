#include "database/export/ExportQuery.h"

#include "common/Clock.h"
#include "common/Failure.h"
#include "database/ResultsDatabase.h"
#include "database/export/CsvUtf8Exporter.h"
#include "database/export/ExportData.h"
#include "database/export/XmlExporter.h"

#include <QDir>
#include <QFileInfo>

#include <sqlite3.h>

namespace {

const QString IncompleteParameters = QStringLiteral("Incomplete parameters.");

bool isBlank(QChar c)
{
    return c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char(' ');
}

// Upper case one character at a time: "ß" stays one character, so every
// position in the copy is the same position in the original.
QString upperKeepingPositions(const QString &text)
{
    QString upper = text;
    for (QChar &c : upper)
        c = c.toUpper();
    return upper;
}

// Renaming a file over the open results database (or its journal) would
// destroy every stored test.
void refuseResultsDatabase(sqlite3 *db, const QString &path)
{
    const char *dbFile = sqlite3_db_filename(db, "main");
    if (!dbFile || !*dbFile)
        return;
    const QString database = QFileInfo(QString::fromUtf8(dbFile)).canonicalFilePath();
    if (database.isEmpty())
        return;
    const QFileInfo target(path);
    QString chosen = target.canonicalFilePath();
    if (chosen.isEmpty())
        chosen = QDir(target.absolutePath()).canonicalPath() + QLatin1Char('/') + target.fileName();
    for (const char *suffix : {"", "-wal", "-shm", "-journal"}) {
        if (chosen == database + QLatin1String(suffix))
            throw Failure(QStringLiteral("ExportTable: the file is the results database."));
    }
}

// Opens a closed connection for one export and closes it again after.
class OpenForExport
{
public:
    explicit OpenForExport(ResultsDatabase &con)
        : m_con(con)
        , m_wasOpen(con.isOpen())
    {
        if (!m_wasOpen)
            m_con.open();
    }
    ~OpenForExport()
    {
        if (!m_wasOpen)
            m_con.close();
    }
    OpenForExport(const OpenForExport &) = delete;
    OpenForExport &operator=(const OpenForExport &) = delete;

private:
    ResultsDatabase &m_con;
    const bool m_wasOpen;
};

int writeExport(const Exporter &exporter, const ExportData &data, const QString &path)
{
    exporter.check(data);
    ExportFiles files;
    exporter.write(data, path, files);
    files.commit();
    return int(data.rows.size());
}

} // namespace

ExportStatementParts splitExportStatement(const QString &statement)
{
    qsizetype begin = 0;
    while (begin < statement.size() && isBlank(statement[begin]))
        ++begin;
    const QString text = statement.mid(begin);
    const QString upper = upperKeepingPositions(text) + QLatin1Char(' ');

    qsizetype fieldStart = 6;
    while (fieldStart < text.size() && isBlank(text[fieldStart]))
        ++fieldStart;

    qsizetype from = -1;
    for (qsizetype i = upper.indexOf(QLatin1String("FROM"), 1); i >= 0;
         i = upper.indexOf(QLatin1String("FROM"), i + 1)) {
        if (isBlank(upper[i - 1]) && i + 4 < upper.size() && isBlank(upper[i + 4])) {
            from = i;
            break;
        }
    }
    ExportStatementParts parts;
    if (from < 0)
        return parts;
    parts.fieldList = text.mid(fieldStart, std::max<qsizetype>(0, from - 1 - fieldStart));
    qsizetype source = from + 4;
    while (source < text.size() && isBlank(text[source]))
        ++source;
    parts.sourcePart = text.mid(source);
    return parts;
}

std::unique_ptr<Exporter> makeExporter(ExportFormat format, QChar decimalSeparator)
{
    if (format == efCsvUtf8)
        return std::make_unique<CsvUtf8Exporter>(decimalSeparator);
    const ExportFormatInfo *info = exportFormatInfo(format);
    return info && info->make ? info->make() : nullptr;
}

int ExportQuery(ResultsDatabase *con, const QString &statement, const QString &fileName, ExportFormat format,
                const QString &tableName, const Clock &clock, QChar decimalSeparator)
{
    if (statement.isEmpty() || fileName.isEmpty() || !con)
        throw Failure(IncompleteParameters);
    if (format == efXML)
        return SaveQueryAsXml(con, statement, fileName, clock);
    const ExportStatementParts parts = splitExportStatement(statement);
    return ExportTable(con, parts.sourcePart, parts.fieldList, fileName, format, tableName, clock, decimalSeparator);
}

int ExportTable(ResultsDatabase *con, const QString &sourcePart, const QString &fieldList, const QString &fileName,
                ExportFormat format, const QString &tableName, const Clock &clock, QChar decimalSeparator)
{
    if (sourcePart.isEmpty() || fileName.isEmpty() || !con)
        throw Failure(IncompleteParameters);
    const QString fields = fieldList.isEmpty() ? QStringLiteral("*") : fieldList;
    const std::unique_ptr<Exporter> exporter = makeExporter(format, decimalSeparator);
    if (!exporter)
        throw Failure(QStringLiteral("ExportTable: Fileformat not supported."));

    const QFileInfo file(fileName);
    // Access and the Excel workbooks hold a named table or sheet; every other
    // format is named after its file.
    const bool namedTable = exportFormatInfo(format)->namedTable;
    if (namedTable && tableName.isEmpty())
        throw Failure(IncompleteParameters);
    const OpenForExport open(*con);
    refuseResultsDatabase(con->handle(), file.absoluteFilePath());
    ExportData data = readExportData(*con, QStringLiteral("SELECT %1 FROM %2").arg(fields, sourcePart),
                                     namedTable ? tableName : file.completeBaseName());
    data.writtenAt = clock.now();
    return writeExport(*exporter, data, file.absoluteFilePath());
}

int SaveQueryAsXml(ResultsDatabase *con, const QString &statement, const QString &fileName, const Clock &clock)
{
    if (statement.isEmpty() || fileName.isEmpty() || !con)
        throw Failure(IncompleteParameters);
    const QFileInfo file(fileName);
    const OpenForExport open(*con);
    refuseResultsDatabase(con->handle(), file.absoluteFilePath());
    ExportData data = readExportData(*con, statement, file.completeBaseName());
    data.writtenAt = clock.now();
    return writeExport(XmlExporter(), data, file.absoluteFilePath());
}
