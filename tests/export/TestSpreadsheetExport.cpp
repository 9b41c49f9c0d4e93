// Spreadsheet export read back by independent readers: FreeXL for the Excel
// versions, gnumeric's ssconvert for WK1 and LibreOffice for WK3; limits
// refused before a byte is written.

#include "common/Failure.h"
#include "database/export/BiffExporter.h"
#include "database/export/ExportQuery.h"
#include "database/export/LotusExporter.h"
#include "tests/support/ToolRun.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <freexl.h>

#include <cfloat>
#include <cmath>
#include <cstring>

namespace {

const QString Croatian = QStringLiteral("Čačak Ćuprija Đakovo Šibenik Žabljak čćđšž");

ExportColumn column(const QString &name, ExportColumnType type)
{
    ExportColumn c;
    c.name = name;
    c.type = type;
    return c;
}

ExportData sample()
{
    ExportData d;
    d.tableName = QStringLiteral("Data");
    d.columns = {column(QStringLiteral("ID"), ExportColumnType::Integer),
                 column(QStringLiteral("Prezime"), ExportColumnType::Text),
                 column(QStringLiteral("V"), ExportColumnType::Double),
                 column(QStringLiteral("Spol"), ExportColumnType::Boolean),
                 column(QStringLiteral("Napomena čž"), ExportColumnType::Text)};
    const QVariant null;
    d.rows.held() = {
        {1LL, Croatian, 0.1, true, QStringLiteral("\"navodnici\", 'apostrof' i ;")},
        {2LL, null, 1.0 / 3.0, false, null},
        {-5LL, QStringLiteral("x"), 2.0, null, QStringLiteral("ČĆĐŠŽ")},
        {40000LL, QStringLiteral("kraj"), -1e-300, true, QStringLiteral("a\tb")},
        {123456789012LL, null, 5e-324, false, QStringLiteral("Ђ")},
        {-16384LL, QStringLiteral(" razmak "), 1e300, null, null},
        {20000LL, null, -0.0, true, null},
    };
    return d;
}

// The grid a reader should show: an invalid QVariant where no cell is, a
// double for numbers and Booleans (1 and 0), a QString for texts.
using Grid = QList<QVariantList>;

Grid expectedGrid(const ExportData &d)
{
    Grid g;
    QVariantList header;
    for (const ExportColumn &c : d.columns)
        header << c.name;
    g << header;
    for (const QVariantList &row : d.rows) {
        QVariantList out;
        for (const QVariant &v : row) {
            if (!v.isValid())
                out << QVariant();
            else if (v.typeId() == QMetaType::QString)
                out << v;
            else
                out << QVariant(v.toDouble());
        }
        g << out;
    }
    return g;
}

bool sameDouble(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0 || (a == 0 && b == 0);
}

// `digits`: how many significant digits of a number the reader keeps (0: all).
void compareGrids(const Grid &actual, const Grid &expected, int digits = 0)
{
    QCOMPARE(actual.size(), expected.size());
    for (qsizetype r = 0; r < expected.size(); ++r) {
        for (qsizetype c = 0; c < expected[r].size(); ++c) {
            const QVariant &e = expected[r][c];
            const QVariant a = c < actual[r].size() ? actual[r][c] : QVariant();
            const QByteArray where = QByteArray("row ") + QByteArray::number(r) + " col " + QByteArray::number(c);
            if (e.typeId() == QMetaType::Double) {
                QVERIFY2(a.typeId() == QMetaType::Double, where + ": " + a.toString().toUtf8());
                const double tolerance = digits ? std::abs(e.toDouble()) * std::pow(10.0, 1 - digits) : 0.0;
                QVERIFY2(sameDouble(a.toDouble(), e.toDouble()) || std::abs(a.toDouble() - e.toDouble()) <= tolerance,
                         where + ": " + QByteArray::number(a.toDouble(), 'g', 17));
            } else {
                QVERIFY2(a == e, where + ": " + a.toString().toUtf8() + " != " + e.toString().toUtf8());
            }
        }
    }
}

Grid readWithFreexl(const QString &path, unsigned biffVersion)
{
    Grid g;
    const void *handle = nullptr;
    if (freexl_open(QFile::encodeName(path).constData(), &handle) != FREEXL_OK) {
        qWarning("freexl_open failed");
        return g;
    }
    unsigned info = 0;
    freexl_get_info(handle, FREEXL_BIFF_VERSION, &info);
    if (info != biffVersion)
        qWarning("BIFF version %u, expected %u", info, biffVersion);
    else if (freexl_select_active_worksheet(handle, 0) == FREEXL_OK) {
        unsigned rows = 0;
        unsigned short cols = 0;
        freexl_worksheet_dimensions(handle, &rows, &cols);
        for (unsigned r = 0; r < rows; ++r) {
            QVariantList row;
            for (unsigned short c = 0; c < cols; ++c) {
                FreeXL_CellValue v;
                if (freexl_get_cell_value(handle, r, c, &v) != FREEXL_OK) {
                    row << QStringLiteral("<unreadable>");
                    continue;
                }
                switch (v.type) {
                case FREEXL_CELL_INT: row << QVariant(double(v.value.int_value)); break;
                case FREEXL_CELL_DOUBLE: row << QVariant(v.value.double_value); break;
                case FREEXL_CELL_TEXT:
                case FREEXL_CELL_SST_TEXT: row << QString::fromUtf8(v.value.text_value); break;
                case FREEXL_CELL_NULL: row << QVariant(); break;
                default: row << QStringLiteral("<type %1>").arg(v.type);
                }
            }
            g << row;
        }
    }
    freexl_close(handle);
    return g;
}

// The CSV a converter wrote, read by Python's csv once the converter's code page is undone; fields are
// typed by the expected grid (numbers parsed, texts kept, empty = none).
Grid readCsv(const QString &path, const char *codePage, const Grid &expected)
{
    const ToolRun r = runTool(QStringLiteral("/usr/bin/python3"),
                              {"-c",
                               "import csv, io, json, sys\n"
                               "raw = open(sys.argv[1], encoding='utf-8').read().encode(sys.argv[2])\n"
                               "rows = csv.reader(io.StringIO(raw.decode('cp1250'), newline=''))\n"
                               "print(json.dumps(list(rows)))",
                               path, QString::fromLatin1(codePage)});
    if (r.exitCode != 0)
        qWarning("%s", qPrintable(r.err));
    Grid g;
    for (const QJsonValue &row : QJsonDocument::fromJson(r.out.toUtf8()).array()) {
        QVariantList out;
        for (const QJsonValue &value : row.toArray()) {
            const qsizetype at = g.size(), c = out.size();
            const QString field = value.toString();
            if (field.isEmpty())
                out << QVariant();
            else if (at < expected.size() && c < expected[at].size() && expected[at][c].typeId() == QMetaType::Double)
                out << QVariant(field.toDouble());
            else
                out << field;
        }
        g << out;
    }
    return g;
}

void exportTo(int format, const ExportData &data, const QString &path)
{
    auto exporter = makeExporter(ExportFormat(format));
    QVERIFY(exporter);
    exporter->check(data);
    ExportFiles files;
    exporter->write(data, path, files);
    files.commit();
}

// The records of a BIFF or Lotus stream (both: u16 type, u16 length, data).
QList<std::pair<unsigned, QByteArray>> records(const QByteArray &stream)
{
    QList<std::pair<unsigned, QByteArray>> out;
    for (qsizetype at = 0; at + 4 <= stream.size();) {
        const unsigned size = uchar(stream[at + 2]) | uchar(stream[at + 3]) << 8;
        out.append({uchar(stream[at]) | uchar(stream[at + 1]) << 8, stream.mid(at + 4, size)});
        at += 4 + size;
    }
    return out;
}

} // namespace

class TestSpreadsheetExport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsBack_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("file");
        QTest::newRow("Excel 3.0") << int(efExcel3) << QStringLiteral("rez.xls");
        QTest::newRow("Excel 4.0") << int(efExcel4) << QStringLiteral("rez.xls");
        QTest::newRow("Excel 5.0") << int(efExcel5) << QStringLiteral("rez.xls");
        QTest::newRow("Excel 8.0") << int(efExcel8) << QStringLiteral("rez.xls");
        QTest::newRow("Lotus WK1") << int(efLotusWK1) << QStringLiteral("rez.wk1");
        QTest::newRow("Lotus WK3") << int(efLotusWK3) << QStringLiteral("rez.wk3");
    }

    void readsBack()
    {
        QFETCH(int, format);
        QFETCH(QString, file);
        QTemporaryDir dir;
        const QString path = dir.filePath(file);
        ExportData data = sample();
        for (QVariantList &row : data.rows.held()) {
            // The 8-bit formats take Windows-1250 texts only, WK3 no control
            // characters.
            if (format != efExcel8 && row[4].toString() == QStringLiteral("Ђ"))
                row[4] = QStringLiteral("đ");
            if (format == efLotusWK3 && row[4].toString() == QStringLiteral("a\tb"))
                row[4] = QStringLiteral("a b");
        }
        exportTo(format, data, path);
        const Grid expected = expectedGrid(data);

        if (format <= efExcel8) {
            const unsigned versions[] = {0, 3, 4, 5, 8};
            compareGrids(readWithFreexl(path, versions[format]), expected);
            if (format <= efExcel4) {
                // freexl types cells without looking at formats, readers that
                // follow Excel 3.0 and 4.0 by the FORMAT record an XF points at
                // by position: "General" first, all of them before the XFs.
                QFile f(path);
                QVERIFY(f.open(QIODevice::ReadOnly));
                QStringList formats;
                for (const auto &[type, body] : records(f.readAll())) {
                    if (type == 0x001E || type == 0x041E)
                        formats << QString::fromLatin1(body.mid(type == 0x041E ? 3 : 1));
                    if (type == 0x0243 || type == 0x0443)
                        QVERIFY(uchar(body[1]) < formats.size());
                }
                QCOMPARE(formats.value(0), QStringLiteral("General"));
            }
            return;
        }
        // ssconvert reads WK1 labels in the DOS Latin-1 code page, LibreOffice
        // WK3 labels in the IBM PC one; undoing that gives back the bytes
        // written, which must be Windows-1250. LibreOffice keeps 8 digits of a
        // WK3 number: exactness is wk3NumbersAreExactExtendedReals' part.
        const QString csv = dir.filePath(QStringLiteral("rez.csv"));
        if (format == efLotusWK1) {
            QProcess::execute(QStringLiteral("ssconvert"), {path, csv});
        } else {
            QProcess::execute(QStringLiteral("soffice"),
                              {QStringLiteral("-env:UserInstallation=file://") + dir.filePath(QStringLiteral("lo")),
                               QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                               QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,true,false,false"),
                               QStringLiteral("--outdir"), dir.path(), path});
        }
        QVERIFY2(QFile::exists(csv), "ssconvert (gnumeric) and soffice (libreoffice-calc-nogui) read Lotus");
        compareGrids(readCsv(csv, format == efLotusWK1 ? "cp850" : "cp437", expected), expected,
                     format == efLotusWK3 ? 8 : 0);
    }

    void bigWorkbookHasDifatSectorsAndContinuedStrings()
    {
        // 65,535 rows (Excel 8.0's most) of numbers make a workbook stream
        // beyond the 109 FAT sectors the header lists; a column of long and
        // Croatian texts spreads the shared strings over CONTINUE records.
        ExportData data;
        data.tableName = QStringLiteral("Data");
        for (int c = 0; c < 7; ++c)
            data.columns << column(QStringLiteral("N%1").arg(c), ExportColumnType::Double);
        data.columns << column(QStringLiteral("Tekst"), ExportColumnType::Text);
        data.rows.held().resize(65535);
        for (int r = 0; r < 65535; ++r) {
            QVariantList &row = data.rows.held()[std::size_t(r)];
            for (int c = 0; c < 7; ++c)
                row << QVariant(r + c / 8.0);
            if (r < 3000) {
                const QString base = r % 3 == 0 ? Croatian : QStringLiteral("Ab\u00e9 \"%1\" ").arg(r);
                row << base.repeated(1 + r % 11).left(1 + (r * 37) % 400);
            } else {
                row << QVariant();
            }
        }
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("velik.xls"));
        exportTo(efExcel8, data, path);

        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray header = f.read(512);
        const quint32 difatSectors = uchar(header[72]) | uchar(header[73]) << 8;
        QVERIFY(f.size() > 6800000);
        QVERIFY(difatSectors > 0);
        const QByteArray stream = BiffExporter(8).stream(data).front();
        const auto globals = records(stream);
        const auto sst = std::find_if(globals.begin(), globals.end(), [](const auto &r) { return r.first == 0xFC; });
        QVERIFY(sst + 10 < globals.end() && (sst + 10)->first == 0x3C); // CONTINUE

        const Grid actual = readWithFreexl(path, 8);
        compareGrids(actual, expectedGrid(data));
    }

    void wk3NumbersAreExactExtendedReals()
    {
        // The machine's own 80-bit conversion is the reference.
        if (LDBL_MANT_DIG != 64)
            QSKIP("long double is not the x87 extended real here");
        const double values[] = {0.1, 1.0 / 3.0, -1e-300, 5e-324, 2.2250738585072014e-308, -0.0, 1e308, 123456.75};
        const qlonglong ints[] = {16384, -16385, (1LL << 62) + 1, -(1LL << 53) - 1};
        ExportData data;
        data.tableName = QStringLiteral("Data");
        data.columns = {column(QStringLiteral("V"), ExportColumnType::Double),
                        column(QStringLiteral("I"), ExportColumnType::Integer)};
        QList<long double> reference;
        for (double v : values) {
            data.rows.held().push_back({QVariant(v)});
            reference << v;
        }
        for (qlonglong v : ints) {
            data.rows.held().push_back({QVariant(), QVariant(v)});
            reference << v;
        }
        QList<QByteArray> written, expected;
        for (const auto &[id, body] : records(LotusExporter(LotusExporter::WK3).bytes(data))) {
            if (id == 0x17) // NUMBER: address, then the real
                written << body.mid(4);
        }
        for (const long double &x : reference)
            expected << QByteArray(reinterpret_cast<const char *>(&x), 10);
        QCOMPARE(written, expected);
    }

    void limits_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariant>("number");
        QTest::addColumn<QString>("failure"); // empty: accepted

        const QString ok;
        struct Sheet
        {
            int format;
            const char *name;
            int maxText; // 0: none in reach
        };
        const Sheet sheets[] = {{efExcel3, "Excel 3.0", 255},   {efExcel4, "Excel 4.0", 255},
                                {efExcel5, "Excel 5.0", 255},   {efExcel8, "Excel 8.0", 32767},
                                {efLotusWK1, "Lotus WK1", 240}, {efLotusWK3, "Lotus WK3", 0}};
        for (const Sheet &s : sheets) {
            const QString name = QString::fromLatin1(s.name);
            // The format table's row limit is the one the writer holds to.
            const int maxRows = exportFormatInfo(s.format)->maxRows;
            auto row = [&](const char *what) -> QTestData & {
                return QTest::newRow(qPrintable(name + u' ' + QLatin1String(what)));
            };
            row("rows at") << s.format << maxRows << ok << QVariant() << ok;
            row("rows over") << s.format << maxRows + 1 << ok << QVariant()
                             << QStringLiteral("ExportTable: %1 holds at most %2 rows.").arg(name).arg(maxRows);
            if (s.maxText) {
                row("text at") << s.format << 1 << QString(s.maxText, u'ž') << QVariant() << ok;
                row("text over") << s.format << 1 << QString(s.maxText + 1, u'ž') << QVariant()
                                 << QStringLiteral(
                                        "ExportTable: column Items holds %1 characters; %2 takes at most %3.")
                                        .arg(s.maxText + 1)
                                        .arg(name)
                                        .arg(s.maxText);
            }
            const QString wide = QStringLiteral("Ω");
            row("character") << s.format << 1 << wide << QVariant()
                             << (s.format == efExcel8 ? ok
                                                      : QStringLiteral("ExportTable: column Items holds the character "
                                                                       "\"Ω\", which %1 cannot store.")
                                                            .arg(name));
            row("control character") << s.format << 1 << QStringLiteral("a\tb") << QVariant()
                                     << (s.format == efLotusWK3
                                             ? QStringLiteral("ExportTable: column Items holds the "
                                                              "character \"U+0009\", which Lotus WK3 "
                                                              "cannot store.")
                                             : ok);
            const qlonglong big = (1LL << 53) + 1;
            row("wide integer") << s.format << 1 << ok << QVariant(big)
                                << (s.format == efLotusWK3
                                        ? ok
                                        : QStringLiteral("ExportTable: column N holds the number %1; %2 "
                                                         "cannot store it exactly.")
                                              .arg(big)
                                              .arg(name));
            row("infinity")
                << s.format << 1 << ok << QVariant(qInf())
                << QStringLiteral("ExportTable: column N holds the number inf; %1 cannot store it exactly.").arg(name);
        }
    }

    void limits()
    {
        QFETCH(int, format);
        QFETCH(int, rows);
        QFETCH(QString, text);
        QFETCH(QVariant, number);
        QFETCH(QString, failure);

        ExportData data;
        data.tableName = QStringLiteral("Data");
        data.columns = {column(QStringLiteral("N"), ExportColumnType::Integer),
                        column(QStringLiteral("Items"), ExportColumnType::Text)};
        data.rows.held().assign(std::size_t(rows), QVariantList{QVariant(), QVariant()});
        data.rows.held().front() = {number, text.isEmpty() ? QVariant() : QVariant(text)};

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("granica"));
        auto exporter = makeExporter(ExportFormat(format));
        QString message;
        try {
            exporter->check(data);
        } catch (const Failure &f) {
            message = f.text();
        }
        QCOMPARE(message, failure);
        if (!failure.isEmpty()) {
            // write() refuses on its own too, before any file exists.
            ExportFiles files;
            QVERIFY_THROWS_EXCEPTION(Failure, exporter->write(data, path, files));
            QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(TestSpreadsheetExport)
#include "TestSpreadsheetExport.moc"
