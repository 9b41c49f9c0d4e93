// Export of the results table: the statement split, the refusals, and every
// written format read back by a reader that is not ours.

#include "common/Failure.h"
#include "common/Windows1250.h"
#include "database/ConnectionString.h"
#include "database/ReadOnlyStatement.h"
#include "database/ResultsDatabase.h"
#include "database/ResultsSchema.h"
#include "database/export/ExportData.h"
#include "database/export/ExportQuery.h"
#include "database/export/FileExportSupport.h"
#include "database/export/TextExporter.h"
#include "tests/support/FakeClock.h"
#include "tests/support/ToolRun.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>
#include <QtEndian>

#include <sqlite3.h>

#include <clocale>
#include <filesystem>

extern "C" {
#include <paradox.h>
}

Q_DECLARE_METATYPE(ExportFormat)

namespace {

const QString Python = QStringLiteral("/usr/bin/python3");
const QString Null = QStringLiteral("<null>");
const QString Tricky = QStringLiteral("<b>\"&'");
const QString Croatian = QStringLiteral("ČĆŽŠĐ čćžšđ");
const QString LongItems = QStringLiteral("0.25000;").repeated(40);    // 320 characters
const QString LongerItems = QStringLiteral("2.00000;").repeated(300); // more than a memo block

// The Data table's columns and the rows every format must give back.
const QStringList Columns{"ID", "Name", "Surname", "Age",    "Gender", "N",
                          "M",  "V",    "Items",   "Field1", "Field2", "Field3"};
const QList<QStringList> Expected{
    {"1", Croatian, Tricky, "34", "True", "3", "0.1", "1234.5678", LongItems, "a,b;\"c\"", "red 1\nred 2", "x"},
    {"2", "ANA", Null, Null, Null, "2", "2", "0", Null, "", Null, Null},
    {"3", "IVO", "Horvat", "-7", "False", "1000", "-2.5e-05", "1e+12", LongerItems, "Field1", "đ", "3"},
};

QByteArray contentOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

sqlite3 *createDatabase(const QString &path)
{
    ResultsSchema::createDatabase(path);
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO Data VALUES (NULL,?,?,?,?,?,?,?,?,?,?,?)", -1, &insert, nullptr);
    for (const QStringList &row : Expected) {
        for (int c = 1; c < row.size(); ++c) {
            const QByteArray v = row[c].toUtf8();
            if (row[c] == Null)
                sqlite3_bind_null(insert, c);
            else if (c == 4)
                sqlite3_bind_int(insert, c, row[c] == QLatin1String("True"));
            else if (c == 3 || c == 5)
                sqlite3_bind_int64(insert, c, row[c].toLongLong());
            else if (c == 6 || c == 7)
                sqlite3_bind_double(insert, c, row[c].toDouble());
            else
                sqlite3_bind_text(insert, c, v.constData(), int(v.size()), SQLITE_TRANSIENT);
        }
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    return db;
}

int rowCount(sqlite3 *db, const char *table)
{
    sqlite3_stmt *s = nullptr;
    sqlite3_prepare_v2(db, QByteArray("SELECT count(*) FROM ") + table, -1, &s, nullptr);
    const int n = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int(s, 0) : -1;
    sqlite3_finalize(s);
    return n;
}

// A value as the test compares it. Formats without NULL for texts (and CSV
// and HTML for every column) give back an empty text.
QString shown(const QVariant &v, int column, bool emptyIsNull)
{
    QString text;
    if (!v.isValid() || v.isNull())
        text = Null;
    else if (v.typeId() == QMetaType::Bool)
        text = v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    else if (column == 6 || column == 7)
        text = FileExport::doubleText(v.toDouble());
    else if (v.typeId() == QMetaType::Double)
        text = QString::number(qlonglong(v.toDouble()));
    else
        text = v.toString();
    return emptyIsNull && text.isEmpty() ? Null : text;
}

QList<QStringList> expected(bool emptyIsNull, bool booleanAsNumber = false)
{
    QList<QStringList> rows = Expected;
    for (QStringList &row : rows) {
        for (int c = 0; c < row.size(); ++c) {
            if (emptyIsNull && row[c].isEmpty())
                row[c] = Null;
            if (booleanAsNumber && c == 4 && row[c] != Null)
                row[c] = row[c] == QLatin1String("True") ? QStringLiteral("1") : QStringLiteral("0");
        }
    }
    return rows;
}

QList<QStringList> jsonRows(const QJsonArray &rows, bool emptyIsNull)
{
    QList<QStringList> result;
    for (const QJsonValue &row : rows) {
        QStringList r;
        const QJsonArray values = row.toArray();
        for (int c = 0; c < values.size(); ++c)
            r << shown(values[c].toVariant(), c, emptyIsNull);
        result << r;
    }
    return result;
}

// Our reader of a Paradox table: pxlib's.
struct ParadoxTable
{
    int fileVersion = 0;
    int codePage = 0;
    QList<int> types;
    QStringList names;
    QList<QStringList> rows;
};

ParadoxTable readParadox(const QString &path)
{
    ParadoxTable table;
    PX_boot();
    pxdoc_t *px = PX_new();
    if (PX_open_file(px, QFile::encodeName(path).constData()) < 0) {
        PX_delete(px);
        return table;
    }
    // Debian's pxlib aborts in PX_set_blob_file on any memo file, so the memo
    // block a row points to is looked up here: type 2, the size pxlib gave, the text.
    const QByteArray mb = contentOf(path.left(path.size() - 3) + QStringLiteral(".mb"));
    table.fileVersion = px->px_head->px_fileversion;
    table.codePage = px->px_head->px_doscodepage;
    const int fieldCount = px->px_head->px_numfields;
    pxfield_t *fields = PX_get_fields(px);
    QByteArray record(px->px_head->px_recordsize, '\0');
    for (int f = 0; f < fieldCount; ++f) {
        table.types << fields[f].px_ftype;
        table.names << QString::fromUtf8(fields[f].px_fname);
    }
    for (int r = 0; r < PX_get_num_records(px); ++r) {
        PX_get_record(px, r, record.data());
        QStringList row;
        int offset = 0;
        for (int f = 0; f < fieldCount; ++f) {
            char *data = record.data() + offset;
            const int len = fields[f].px_flen;
            offset += len;
            QVariant v;
            char *text = nullptr;
            double d;
            long l;
            short s;
            char b;
            int mod, size;
            switch (fields[f].px_ftype) {
            case pxfAlpha:
                if (PX_get_data_alpha(px, data, len, &text) > 0)
                    v = Windows1250::decode(text);
                break;
            case pxfNumber:
                if (PX_get_data_double(px, data, len, &d) > 0)
                    v = d;
                break;
            case pxfLong:
                // pxlib 0.6.8 tests eight bytes for an empty four-byte field and
                // reports the empty field as the lowest value, which is never written.
                if (PX_get_data_long(px, data, len, &l) > 0 && l != std::numeric_limits<qint32>::min())
                    v = qlonglong(l);
                break;
            case pxfShort:
                if (PX_get_data_short(px, data, len, &s) > 0)
                    v = int(s);
                break;
            case pxfLogical:
                if (PX_get_data_byte(px, data, len, &b) > 0)
                    v = bool(b);
                break;
            case pxfMemoBLOb:
                if (PX_get_data_blob(px, data, len, &mod, &size, &text) > 0) {
                    v = Windows1250::decode(QByteArray(text, size));
                } else if (size > 0) {
                    // A block of its own (2), or an entry of a shared block (3).
                    const quint32 pointer = qFromLittleEndian<quint32>(data + len - 10);
                    const qsizetype at = pointer & ~0xFFu;
                    const int index = int(pointer & 0xFF);
                    const auto *entry = reinterpret_cast<const uchar *>(mb.constData() + at + 12 + index * 5);
                    if (mb.size() < at + 4096)
                        break;
                    if (mb[at] == 2 && index == 0xFF &&
                        qFromLittleEndian<quint32>(mb.constData() + at + 3) == quint32(size))
                        v = Windows1250::decode(mb.mid(at + 9, size));
                    if (mb[at] == 3 && (entry[1] - 1) * 16 + entry[4] == size)
                        v = Windows1250::decode(mb.mid(at + entry[0] * 16, size));
                }
                break;
            }
            row << shown(v, f, true);
            if (text)
                px->free(px, text);
        }
        table.rows << row;
    }
    PX_close(px);
    PX_delete(px);
    return table;
}

// What a reader gives back of an exported file: its column names and its rows as the test compares them.
struct ReadBack
{
    QStringList header;
    QList<QStringList> rows;
};
using Reader = void (*)(const QString &file, ExportFormat format, ReadBack &got);

// Python's csv and configparser.
void readText(const QString &file, ExportFormat, ReadBack &got)
{
    const QString ini = QFileInfo(file).dir().filePath(QStringLiteral("schema.ini"));
    const ToolRun r = runTool(Python, {"-c",
                                       "import csv, configparser, json, sys\n"
                                       "rows = list(csv.reader(open(sys.argv[1], encoding='cp1250', newline='')))\n"
                                       "ini = configparser.ConfigParser(); ini.optionxform = str\n"
                                       "ini.read(sys.argv[2], encoding='cp1250')\n"
                                       "print(json.dumps({'rows': rows, 'ini': dict(ini['izvoz.txt'])}))",
                                       file, ini});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
    QJsonArray all = o["rows"].toArray();
    for (const QJsonValue &h : all.takeAt(0).toArray())
        got.header << h.toString();
    got.rows = jsonRows(all, true);
    const QJsonObject entries = o["ini"].toObject();
    QCOMPARE(entries["Col4"].toString(), QStringLiteral("Age Long"));
    QCOMPARE(entries["Col5"].toString(), QStringLiteral("Gender Bit"));
    QCOMPARE(entries["Col7"].toString(), QStringLiteral("M Double"));
    QCOMPARE(entries["Col9"].toString(), QStringLiteral("Items Memo"));
    QCOMPARE(entries["Col10"].toString(), QStringLiteral("Field1 Text Width 100"));
    QCOMPARE(entries["CharacterSet"].toString(), QStringLiteral("1250"));
}

// Python's dbfread.
void readDBase(const QString &file, ExportFormat format, ReadBack &got)
{
    const ToolRun r = runTool(Python, {"-c",
                                       "import dbfread, json, sys\n"
                                       "t = dbfread.DBF(sys.argv[1], char_decode_errors='strict')\n"
                                       "print(json.dumps({'version': t.header.dbversion, 'encoding': t.encoding,\n"
                                       "                  'fields': [x.name + ' ' + x.type for x in t.fields],\n"
                                       "                  'rows': [list(r.values()) for r in t]}))",
                                       file});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    const QJsonObject table = QJsonDocument::fromJson(r.out.toUtf8()).object();
    QString types;
    for (const QJsonValue &f : table["fields"].toArray()) {
        got.header << f.toString().section(QLatin1Char(' '), 0, 0);
        types += f.toString().section(QLatin1Char(' '), 1);
    }
    QCOMPARE(types, QStringLiteral("NCCNLNNNMCCC"));
    QCOMPARE(table["encoding"].toString(), QStringLiteral("cp1250"));
    QCOMPARE(table["version"].toInt(), format == efDBase3 ? 0x83 : 0x8B);
    got.rows = jsonRows(table["rows"].toArray(), true);
    QCOMPARE(got.header.join(QLatin1Char(',')), Columns.join(QLatin1Char(',')).toUpper());
    got.header = Columns;
}

// pxlib.
void readParadoxTable(const QString &file, ExportFormat format, ReadBack &got)
{
    const ParadoxTable table = readParadox(file);
    QCOMPARE(table.fileVersion, format == efParadox3 ? 30 : format == efParadox4 ? 40 : 50);
    QCOMPARE(table.codePage, format == efParadox3 ? 0 : 1250);
    const QList<int> types = format == efParadox5
                                 ? QList<int>{pxfLong,   pxfAlpha,  pxfAlpha,    pxfLong,  pxfLogical, pxfLong,
                                              pxfNumber, pxfNumber, pxfMemoBLOb, pxfAlpha, pxfAlpha,   pxfAlpha}
                                 : QList<int>{pxfNumber, pxfAlpha,  pxfAlpha,
                                              pxfNumber, pxfShort,  pxfNumber,
                                              pxfNumber, pxfNumber, format == efParadox3 ? pxfAlpha : pxfMemoBLOb,
                                              pxfAlpha,  pxfAlpha,  pxfAlpha};
    QCOMPARE(table.types, types);
    got.header = table.names;
    got.rows = table.rows;
}

// libxml2's HTML parser, which reads the declared charset and writes XML in UTF-8.
void readHtml(const QString &file, ExportFormat, ReadBack &got)
{
    const ToolRun r = runTool(QStringLiteral("xmllint"), {"--html", "--xmlout", "--encode", "UTF-8", file});
    QVERIFY2(r.exitCode == 0 && r.err.isEmpty(), qPrintable(r.err));
    QXmlStreamReader xml(r.out);
    QString caption;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("caption"))
            caption = xml.readElementText();
        else if (xml.name() == QLatin1String("th"))
            got.header << xml.readElementText();
        else if (xml.name() == QLatin1String("tr") && !got.header.isEmpty())
            got.rows << QStringList();
        else if (xml.name() == QLatin1String("td"))
            got.rows.last() << shown(xml.readElementText(), int(got.rows.last().size()), true);
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(caption, QStringLiteral("izvoz"));
}

// xmllint for the form, Qt's stream reader for the rowset.
void readXml(const QString &file, ExportFormat, ReadBack &got)
{
    const ToolRun lint = runTool(QStringLiteral("xmllint"), {"--noout", file});
    QVERIFY2(lint.exitCode == 0 && lint.err.isEmpty(), qPrintable(lint.err));
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&f);
    QStringList types;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("AttributeType"))
            got.header << xml.attributes().value("name").toString();
        if (xml.name() == QLatin1String("datatype"))
            types << xml.attributes()
                         .value(QStringLiteral("uuid:C2F41010-65B3-11d1-A29F-00AA00C14882"), QStringLiteral("type"))
                         .toString();
        if (xml.name() == QLatin1String("row") && xml.namespaceUri() == QLatin1String("#RowsetSchema")) {
            QStringList row;
            const QXmlStreamAttributes a = xml.attributes();
            for (int c = 0; c < got.header.size(); ++c)
                row << shown(a.hasAttribute(got.header[c]) ? QVariant(a.value(got.header[c]).toString()) : QVariant(),
                             c, false);
            got.rows << row;
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(types, QStringList({"int", "string", "string", "int", "boolean", "int", "float", "float", "string",
                                 "string", "string", "string"}));
}

} // namespace

class TestExport : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_dbPath;
    sqlite3 *m_db = nullptr; // the test's own view of the file
    ResultsDatabase m_con;   // the program's connection the export runs on
    FakeClock m_clock;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    QString failureOf(const std::function<void()> &f)
    {
        try {
            f();
        } catch (const Failure &failure) {
            return failure.text();
        }
        return {};
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_dbPath = path(QStringLiteral("Kalvestrin.mdb"));
        m_db = createDatabase(m_dbPath);
        QCOMPARE(rowCount(m_db, "Data"), 3);
        m_con.setConnectionString(ConnectionString::forFile(m_dbPath));
        m_con.open();
    }
    void cleanupTestCase()
    {
        m_con.close();
        sqlite3_close(m_db);
    }

    void splitsTheStatement_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("fields");
        QTest::addColumn<QString>("source");
        auto row = [](const char *name, const char *statement, const char *fields, const char *source) {
            QTest::newRow(name) << QString::fromUtf8(statement) << QString::fromUtf8(fields)
                                << QString::fromUtf8(source);
        };
        row("order by kept", "SELECT * FROM DATA ORDER BY ID;\r\n", "*", "DATA ORDER BY ID;\r\n");
        row("FROMAGE skipped", "SELECT FROMAGE, Name FROM Data", "FROMAGE, Name", "Data");
        row("lower case", "select name from data;", "name", "data;");
        row("leading blanks", "\r\n \t SELECT Name\tFROM\n\nData", "Name", "Data");
        row("no FROM", "SELECT Name", "", "");
        row("FROM last", "SELECT Name FROM", "Name", "");
        row("empty field list", "SELECT FROM Data", "", "Data");
        row("sharp s", "SELECT 'ßß' AS s FROM Data", "'ßß' AS s", "Data");
        row("first six unchecked", "DELETE FROM Data", "", "Data");
    }
    void splitsTheStatement()
    {
        QFETCH(QString, statement);
        const ExportStatementParts parts = splitExportStatement(statement);
        QTEST(parts.fieldList, "fields");
        QTEST(parts.sourcePart, "source");
    }

    void refusesBeforeTouchingAnything_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("message");
        const QString all = QStringLiteral("SELECT * FROM Data");
        const QString incomplete = QStringLiteral("Incomplete parameters.");
        const QString unsupported = QStringLiteral("ExportTable: Fileformat not supported.");
        const QString results = QStringLiteral("ExportTable: the file is the results database.");
        const QString notReadOnly = ReadOnlyStatement::RefusedText();
        auto row = [](const char *name, const QString &statement, const char *file, int format,
                      const QString &message) {
            QTest::newRow(name) << statement << QString::fromLatin1(file) << format << message;
        };
        row("empty statement", "", "a.csv", efText, incomplete);
        row("empty file", all, "", efText, incomplete);
        row("no FROM", "SELECT Name", "a.csv", efText, incomplete);
        row("Lotus WK4", all, "a.wk4", efLotusWK4, unsupported);
        row("past the last", all, "a.x", int(efCsvUtf8) + 1, unsupported);
        row("negative", all, "a.x", -1, unsupported);
        row("results database", all, "Kalvestrin.mdb", efText, results);
        row("its journal", all, "Kalvestrin.mdb-wal", efHTML, results);
        row("XML over it", all, "Kalvestrin.mdb", efXML, results);
        row("second statement", "select * from data; delete from data", "a.csv", efText, notReadOnly);
        row("XML second statement", "select 1; delete from data", "a.xml", efXML, notReadOnly);
        row("writing statement", "SELECT * FROM Data; DROP TABLE Data", "a.htm", efHTML, notReadOnly);
        row("engine's message", "SELECT * FROM Missing", "a.csv", efText,
            QStringLiteral("Naredba nad bazom podataka \"%1\" nije uspjela. (SQLite: no such table: Missing)")
                .arg(m_dbPath));
        row("Access file missing", all, "missing.mdb", efAccess, "unable to open database file");
    }
    void refusesBeforeTouchingAnything()
    {
        QFETCH(QString, statement);
        QFETCH(QString, file);
        QFETCH(int, format);
        const QString target = file.isEmpty() ? file : path(file);
        const QByteArray before = contentOf(target);
        const QStringList filesBefore = QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden);
        QTEST(failureOf([&] { ExportQuery(&m_con, statement, target, ExportFormat(format), "Data", m_clock); }),
              "message");
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), filesBefore);
        QCOMPARE(contentOf(target), before);
        QCOMPARE(rowCount(m_db, "Data"), 3);
        QCOMPARE(failureOf([&] { ExportQuery(nullptr, statement, target, ExportFormat(format), "Data", m_clock); }),
                 QStringLiteral("Incomplete parameters."));
    }

    // One value under or at each limit exports; one over, or one the format cannot hold, is refused before
    // anything is written.
    void limits_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        auto row = [](const char *name, int format, const char *value, const char *message = "") {
            QTest::newRow(name) << format << QString::fromUtf8(value) << QString::fromUtf8(message);
        };
        row("Paradox 3.x text at 255", efParadox3, "printf('%.255c', 'x')");
        row("Paradox 3.x text over", efParadox3, "printf('%.256c', 'x')",
            "ExportTable: column v holds 256 characters; Paradox 3.x takes at most 255.");
        row("Paradox 4.x memo", efParadox4, "printf('%.5000c', 'x')");
        row("Paradox 4.x 2^53", efParadox4, "9007199254740992");
        row("Paradox 4.x over 2^53", efParadox4, "9007199254740993",
            "ExportTable: column v holds 9007199254740993, which Paradox 4.x cannot store exactly.");
        row("dBASE widest integer", efDBase4, "-9223372036854775807");
        row("dBASE 20 digits", efDBase4, "1e19");
        row("dBASE 21 digits", efDBase4, "1e20",
            "ExportTable: column v holds a number of 21 characters; dBASE IV takes at most 20.");
        row("Text: no Windows-1250", efText, "'Ω'",
            "ExportTable: column v holds the character Ω (U+03a9), which Text cannot write.");
        row("XML: control character", efXML, "char(7)",
            "ExportTable: column v holds a character that XML cannot hold.");
        row("dBASE text no Windows-1250", efDBase3, "'Ω'",
            "ExportTable: column v holds the character Ω (U+03a9), which dBASE III cannot write.");
    }
    void limits()
    {
        QFETCH(int, format);
        QFETCH(QString, value);
        QFETCH(QString, message);
        const QString file = path(QStringLiteral("limit.out"));
        QFile::remove(file);
        const QString statement = QStringLiteral("SELECT %1 AS v FROM Data WHERE ID = 1").arg(value);
        int rows = 0;
        QCOMPARE(failureOf([&] { rows = ExportQuery(&m_con, statement, file, ExportFormat(format), "Data", m_clock); }),
                 message);
        QCOMPARE(rows, message.isEmpty() ? 1 : 0);
        QCOMPARE(QFile::exists(file), message.isEmpty());
    }

    void failureMidWriteKeepsTheOldFiles()
    {
        QDir dir(path(QStringLiteral("mid")));
        dir.mkpath(QStringLiteral("."));
        const QString csv = dir.filePath(QStringLiteral("rez.csv"));
        const QString ini = dir.filePath(QStringLiteral("schema.ini"));
        {
            QFile f(csv), g(ini);
            QVERIFY(f.open(QIODevice::WriteOnly) && g.open(QIODevice::WriteOnly));
            f.write("old");
            g.write("[old.txt]\r\n");
        }
        ExportData data;
        data.columns << ExportColumn{QStringLiteral("t"), ExportColumnType::Text, 1, {}};
        data.rows.held() = {{QStringLiteral("a")}, {QStringLiteral("Ω")}};
        QVERIFY(!failureOf([&] {
                     ExportFiles files;
                     TextExporter().write(data, csv, files); // unchecked: fails on the second row
                     files.commit();
                 }).isEmpty());
        QCOMPARE(dir.entryList(QDir::Files | QDir::Hidden), QStringList({"rez.csv", "schema.ini"}));
        QFile f(csv), g(ini);
        QVERIFY(f.open(QIODevice::ReadOnly) && g.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("old"));
        QCOMPARE(g.readAll(), QByteArray("[old.txt]\r\n"));
    }

    // An old table with its memo file is replaced by a new pair; whichever rename fails (and
    // before every rename, as a killed export would leave it) a reader finds the old pair, no
    // table, or the new pair, never one file of each; a failure names the file and leaves no
    // temporary behind.
    void tableAndMemoChangeTogether_data()
    {
        QTest::addColumn<int>("failing"); // the rename that fails, -1 none
        for (int n = -1; n < 4; ++n)
            QTest::addRow("rename %d fails", n) << n;
    }
    void tableAndMemoChangeTogether()
    {
        QFETCH(int, failing);
        QTemporaryDir dir;
        const QString dbf = dir.filePath(QStringLiteral("t.dbf")), dbt = dir.filePath(QStringLiteral("t.dbt"));
        auto write = [&](const QString &statement, const QString &to, ExportFiles::Rename rename) {
            ExportData data = readExportData(m_con, statement, QStringLiteral("t"));
            data.writtenAt = m_clock.now();
            ExportFiles files(std::move(rename));
            makeExporter(efDBase4)->write(data, to, files);
            files.commit();
        };
        const QString oldRows = QStringLiteral("SELECT Name, Items FROM Data WHERE ID <> 2 ORDER BY ID");
        const QString newRows = QStringLiteral("SELECT Name, Items FROM Data ORDER BY ID DESC");
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("new")));
        write(newRows, dir.filePath(QStringLiteral("new/t.dbf")), {});
        write(oldRows, dbf, {});
        const QByteArray oldPair = contentOf(dbf) + '|' + contentOf(dbt);
        const QByteArray newPair = contentOf(dir.filePath(QStringLiteral("new/t.dbf"))) + '|' +
                                   contentOf(dir.filePath(QStringLiteral("new/t.dbt")));
        int renames = 0;
        QStringList mixed;
        auto rename = [&](const QString &from, const QString &to) {
            const QByteArray seen = contentOf(dbf) + '|' + contentOf(dbt);
            if (QFile::exists(dbf) && seen != oldPair && seen != newPair)
                mixed << QStringLiteral("before rename %1").arg(renames);
            std::error_code error;
            if (renames++ == failing)
                error = std::make_error_code(std::errc::io_error);
            else
                std::filesystem::rename(QFile::encodeName(from).toStdString(), QFile::encodeName(to).toStdString(),
                                        error);
            return error;
        };
        const QString message = failureOf([&] { write(newRows, dbf, rename); });
        QCOMPARE(mixed, QStringList());
        QCOMPARE(message.isEmpty(), failing < 0);
        QVERIFY2(failing < 0 || message.contains(dir.filePath(QStringLiteral("t.db"))), qPrintable(message));
        QCOMPARE(contentOf(dbf) + '|' + contentOf(dbt), failing < 0 ? newPair : oldPair);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList({"new", "t.dbf", "t.dbt"}));
    }

    // A column's declared type never becomes SQL of its own in the target database.
    void accessTakesOnlyKnownTypeNames()
    {
        QCOMPARE(sqlite3_exec(m_db,
                              "CREATE TABLE Evil (a [INT); DROP TABLE Other; --], b VARCHAR(5), "
                              "c NUMERIC ( 10 , 2 ), d [TEXT\"; DROP TABLE Other]);"
                              "INSERT INTO Evil VALUES (1, 'abc', 2.5, 'x')",
                              nullptr, nullptr, nullptr),
                 SQLITE_OK);
        const QString mdb = path(QStringLiteral("evil.mdb"));
        sqlite3 *target = nullptr;
        sqlite3_open(mdb.toUtf8().constData(), &target);
        sqlite3_exec(target, "CREATE TABLE Other (a)", nullptr, nullptr, nullptr);
        const QString message =
            failureOf([&] { ExportQuery(&m_con, "SELECT * FROM Evil", mdb, efAccess, "Data", m_clock); });
        sqlite3_exec(m_db, "DROP TABLE Evil", nullptr, nullptr, nullptr);
        QCOMPARE(message, QString());
        QCOMPARE(rowCount(target, "Other"), 0);
        sqlite3_stmt *s = nullptr;
        sqlite3_prepare_v2(target, "SELECT group_concat(name || ' ' || type, ', ') FROM pragma_table_info('Data')", -1,
                           &s, nullptr);
        sqlite3_step(s);
        QCOMPARE(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, 0))),
                 QStringLiteral("a INTEGER, b VARCHAR(5), c NUMERIC(10,2), d VARCHAR(1)"));
        sqlite3_finalize(s);
        QCOMPARE(rowCount(target, "Data"), 1);
        sqlite3_close(target);
    }

    // The same rows at the same time give the same bytes, dated by the clock given, not the machine's.
    void filesAreDatedByTheClock_data()
    {
        QTest::addColumn<ExportFormat>("format");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("date");
        const QDateTime at(QDate(2001, 2, 3), QTime(4, 5, 6));
        QByteArray seconds(4, '\0');
        qToLittleEndian<quint32>(quint32(at.toSecsSinceEpoch()), seconds.data());
        QTest::newRow("dBASE III") << efDBase3 << 1 << QByteArray("\x65\x02\x03");
        QTest::newRow("dBASE 5.0") << efDBase5 << 1 << QByteArray("\x65\x02\x03");
        QTest::newRow("Paradox 4.x") << efParadox4 << 0x60 << seconds;
        QTest::newRow("Paradox 5.x") << efParadox5 << 0x60 << seconds;
    }
    void filesAreDatedByTheClock()
    {
        QFETCH(ExportFormat, format);
        QFETCH(int, offset);
        QFETCH(QByteArray, date);
        FakeClock clock;
        clock.wall = QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6));
        const QString file = path(QStringLiteral("dated.x"));
        ExportQuery(&m_con, "SELECT * FROM Data ORDER BY ID", file, format, "Data", clock);
        const QByteArray first = contentOf(file);
        ExportQuery(&m_con, "SELECT * FROM Data ORDER BY ID", file, format, "Data", clock);
        QCOMPARE(first.mid(offset, date.size()), date);
        QCOMPARE(contentOf(file), first);
    }

    void accessAddsATableInOneTransaction()
    {
        const QString mdb = path(QStringLiteral("izvoz \"'; DROP TABLE x.mdb"));
        sqlite3 *target = nullptr;
        sqlite3_open(mdb.toUtf8().constData(), &target);
        sqlite3_exec(target, "CREATE TABLE Other (a)", nullptr, nullptr, nullptr);
        QCOMPARE(ExportQuery(&m_con, "SELECT * FROM DATA ORDER BY ID;\r\n", mdb, efAccess, "Data", m_clock), 3);
        sqlite3_stmt *s = nullptr;
        sqlite3_prepare_v2(target, "SELECT * FROM Data ORDER BY ID", -1, &s, nullptr);
        QList<QStringList> rows;
        while (sqlite3_step(s) == SQLITE_ROW) {
            QStringList row;
            for (int c = 0; c < sqlite3_column_count(s); ++c) {
                QVariant v;
                switch (sqlite3_column_type(s, c)) {
                case SQLITE_INTEGER:
                    v = c == 4 ? QVariant(sqlite3_column_int(s, c) != 0) : sqlite3_column_int64(s, c);
                    break;
                case SQLITE_FLOAT: v = sqlite3_column_double(s, c); break;
                case SQLITE_TEXT:
                    v = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, c)));
                    break;
                default: break;
                }
                row << shown(v, c, false);
            }
            rows << row;
        }
        QCOMPARE(QString::fromUtf8(sqlite3_column_decltype(s, 1)), QStringLiteral("VARCHAR(40)"));
        sqlite3_finalize(s);
        QCOMPARE(rows, expected(false));
        QCOMPARE(failureOf([&] { ExportQuery(&m_con, "SELECT * FROM Data", mdb, efAccess, "Data", m_clock); }),
                 QStringLiteral("table \"Data\" already exists"));
        QCOMPARE(rowCount(target, "Data"), 3);
        QCOMPARE(rowCount(target, "Other"), 0);
        sqlite3_close(target);
    }

    void closedConnectionIsOpenedForTheExportOnly()
    {
        m_con.close();
        QCOMPARE(
            ExportQuery(&m_con, "SELECT Name FROM Data", path(QStringLiteral("closed.htm")), efHTML, "Data", m_clock),
            3);
        QVERIFY(!m_con.isOpen());
        m_con.open();
    }

    void textKeepsOtherFilesSections()
    {
        QFile ini(path(QStringLiteral("schema.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[other.txt]\r\nColNameHeader=False\r\n[REZ.CSV]\r\nCol1=Old Text\r\nCol2=Gone Text\r\n"
                  "[last.txt]\r\nFormat=TabDelimited\r\n");
        ini.close();
        ExportQuery(&m_con, "SELECT Name FROM Data", path(QStringLiteral("rez.csv")), efText, "Data", m_clock);
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QCOMPARE(ini.readAll(), QByteArray("[other.txt]\r\nColNameHeader=False\r\n[rez.csv]\r\nColNameHeader=True\r\n"
                                           "Format=CSVDelimited\r\nCharacterSet=1250\r\nDecimalSymbol=.\r\n"
                                           "Col1=Name Text Width 40\r\n[last.txt]\r\nFormat=TabDelimited\r\n"));
    }

    void readsBackEveryFormat_data()
    {
        QTest::addColumn<ExportFormat>("format");
        QTest::addColumn<QString>("file");
        QTest::addColumn<void *>("reader");
        auto row = [](ExportFormat format, const char *file, Reader reader) {
            QTest::newRow(exportFormatInfo(format)->name)
                << format << QString::fromLatin1(file) << reinterpret_cast<void *>(reader);
        };
        row(efText, "izvoz.txt", readText);
        row(efHTML, "izvoz.htm", readHtml);
        row(efXML, "izvoz.xml", readXml);
        for (ExportFormat f : {efDBase3, efDBase4, efDBase5})
            row(f, "izvoz.dbf", readDBase);
        for (ExportFormat f : {efParadox3, efParadox4, efParadox5})
            row(f, "izvoz.db", readParadoxTable);
    }
    void readsBackEveryFormat()
    {
        QFETCH(ExportFormat, format);
        QFETCH(QString, file);
        QFETCH(void *, reader);
        file = path(file);
        // An old file of the same name is replaced whole.
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(100000, 'x'));
        old.close();
        QString statement = QStringLiteral("SELECT * FROM DATA ORDER BY ID;\r\n");
        QList<QStringList> want = expected(format != efXML, format == efParadox3 || format == efParadox4);
        if (format == efParadox3) {
            // No memo fields: a long text is refused, not cut.
            QCOMPARE(failureOf([&] { ExportQuery(&m_con, statement, file, format, "Data", m_clock); }),
                     QStringLiteral("ExportTable: column Items holds 2400 characters; Paradox 3.x takes at most 255."));
            statement = QStringLiteral("SELECT ID, Name, Surname, Age, Gender, N, M, V, NULL AS Items, Field1, Field2, "
                                       "Field3 FROM Data ORDER BY ID");
            for (QStringList &row : want)
                row[8] = Null;
        }
        QCOMPARE(ExportQuery(&m_con, statement, file, format, "Data", m_clock), 3);
        ReadBack got;
        reinterpret_cast<Reader>(reader)(file, format, got);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(got.header, Columns);
        QCOMPARE(got.rows, want);
    }

    void toolExportsAndReportsFailures()
    {
        const ToolRun ok = runTool(QStringLiteral(KALVESTRIN_TOOL), {m_dbPath, "efText", path("tool.csv")});
        QCOMPARE(ok.exitCode, 2); // "export" missing: usage
        const ToolRun done = runTool(QStringLiteral(KALVESTRIN_TOOL), {"export", m_dbPath, "efHTML", path("tool.htm")});
        QCOMPARE(done.exitCode, 0);
        QCOMPARE(done.out.trimmed(), "3 rows written to " + path("tool.htm"));
        const ToolRun refused = runTool(QStringLiteral(KALVESTRIN_TOOL),
                                        {"export", m_dbPath, "efLotusWK4", path("tool.wk4"), "SELECT 1 FROM Data"});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY(refused.err.contains(QLatin1String("ExportTable: Fileformat not supported.")));
    }

    void dBaseNumbersIgnoreTheDecimalComma()
    {
#ifdef KALVESTRIN_TEST_LOCALES
        qputenv("LOCPATH", KALVESTRIN_TEST_LOCALES);
        if (!std::setlocale(LC_NUMERIC, "hr_HR.UTF-8"))
            QSKIP("no locale with a decimal comma");
        const QString file = path(QStringLiteral("comma.dbf"));
        ExportQuery(&m_con, "SELECT M, V FROM Data ORDER BY ID", file, efDBase4, "Data", m_clock);
        const bool comma = *std::localeconv()->decimal_point == ',';
        std::setlocale(LC_NUMERIC, "C");
        QVERIFY(comma);
        const ToolRun r = runTool(Python, {"-c",
                                           "import dbfread, json, sys\n"
                                           "print(json.dumps([list(r.values()) for r in dbfread.DBF(sys.argv[1])]))",
                                           file});
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QList<QStringList> rows;
        for (const QJsonValue &row : QJsonDocument::fromJson(r.out.toUtf8()).array())
            rows << QStringList{FileExport::doubleText(row[0].toDouble()), FileExport::doubleText(row[1].toDouble())};
        QCOMPARE(rows, QList<QStringList>({{"0.1", "1234.5678"}, {"2", "0"}, { "-2.5e-05", "1e+12" }}));
#else
        QSKIP("no locale with a decimal comma");
#endif
    }

    void xmlNamesEveryColumn()
    {
        const QString file = path(QStringLiteral("names.xml"));
        ExportQuery(&m_con, "SELECT ID AS \"1st\", Name AS \"a b\", Age AS c1, N AS ID FROM Data", file, efXML, "",
                    m_clock);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&f);
        QStringList names;
        while (xml.readNextStartElement() || !xml.atEnd()) {
            if (xml.isStartElement() && xml.name() == QLatin1String("AttributeType"))
                names << xml.attributes().value("name").toString() + QLatin1Char('=') +
                             xml.attributes()
                                 .value(QStringLiteral("urn:schemas-microsoft-com:rowset"), "name")
                                 .toString();
            if (!xml.isStartElement())
                xml.readNext();
        }
        QCOMPARE(names, QStringList({"c0=1st", "c1_=a b", "c1=", "ID="}));
    }
};

QTEST_GUILESS_MAIN(TestExport)
#include "TestExport.moc"
