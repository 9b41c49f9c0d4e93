// The formats of today's analysis tools read back by readers our writers do
// not use: openpyxl for .xlsx, PSPP for SPSS, pandas for Stata, Python's csv
// for CSV UTF-8; for the rows of Data and for the presentations.

#include "common/Clock.h"
#include "common/Failure.h"
#include "database/ConnectionString.h"
#include "database/ResultsDatabase.h"
#include "database/ResultsSchema.h"
#include "database/export/ExportQuery.h"
#include "database/export/PresentationExport.h"
#include "tests/support/FakeClock.h"
#include "tests/support/ToolRun.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <clocale>

namespace {

const double Exact17 = 0.1 + 0.2; // needs all 17 digits: 0.30000000000000004
const QString Surname = QStringLiteral("Čačić-Đurđević");

const char *const Setup =
    "INSERT INTO Data VALUES (1, 'Ana', 'Čačić-Đurđević', 23, 0, 2, 0.1 + 0.2, 0.125, '0,25000;', 'č ć đ š ž',"
    " 'a;b', 'x\"y');"
    "INSERT INTO Data VALUES (2, NULL, 'Ivić', NULL, 1, 2, 1e-300, NULL, NULL, NULL, NULL, NULL);"
    "INSERT INTO Sessions (UUID, DataID) VALUES ('11111111-2222-3333-4444-555555555555', 1);"
    "INSERT INTO Presentations VALUES ('11111111-2222-3333-4444-555555555555', 2, 2, 1, 8, 0.1 + 0.2, 2000.5, NULL,"
    " 'N', 'kuća', 'NE');"
    "INSERT INTO Presentations VALUES ('11111111-2222-3333-4444-555555555555', 1, 1, 1, 8, 0.1, 0.0, 1234.567, 'Y',"
    " NULL, 'DA');";

QJsonArray dataRows()
{
    return {QJsonArray{1, "Ana", Surname, 23, 0, 2, Exact17, 0.125, "0,25000;", "č ć đ š ž", "a;b", "x\"y"},
            QJsonArray{2, {}, "Ivić", {}, 1, 2, 1e-300, {}, {}, {}, {}, {}}};
}

QJsonArray presentationRows()
{
    const QJsonArray subject{
        1, "Ana", Surname, 23, 0, "č ć đ š ž", "a;b", "x\"y", "11111111-2222-3333-4444-555555555555"};
    QJsonArray first = subject, second = subject;
    for (const QJsonValue &v : QJsonArray{1, 1, 8, 0.1, 0.0, 1234.567, "Y", {}, "DA"})
        first.append(v);
    for (const QJsonValue &v : QJsonArray{2, 1, 8, Exact17, 2000.5, {}, "N", "kuća", "NE"})
        second.append(v);
    return {first, second};
}

QJsonObject readFile(const QString &reader, const QString &path)
{
    const ToolRun run =
        runTool(QStringLiteral("/usr/bin/python3"), {QStringLiteral(KALVESTRIN_READ_BACK), reader, path});
    if (run.exitCode != 0)
        qWarning().noquote() << run.err;
    return QJsonDocument::fromJson(run.out.toUtf8()).object();
}

} // namespace

class TestAnalysisExport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void readBack_data();
    void readBack();
    void refusedBeforeWriting_data();
    void refusedBeforeWriting();

private:
    QTemporaryDir m_dir;
    QString m_database;
};

void TestAnalysisExport::initTestCase()
{
#ifdef KALVESTRIN_TEST_LOCALES
    qputenv("LOCPATH", KALVESTRIN_TEST_LOCALES);
#endif
    m_database = m_dir.filePath(QStringLiteral("Kalvestrin.mdb"));
    ResultsSchema::createDatabase(m_database);
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(m_database.toUtf8().constData(), &db), SQLITE_OK);
    QCOMPARE(sqlite3_exec(db, Setup, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

void TestAnalysisExport::readBack_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<bool>("presentations");
    QTest::addColumn<QChar>("decimal");
    QTest::addColumn<QString>("reader");
    QTest::addColumn<bool>("labelled");
    QTest::addColumn<QJsonObject>("extra");
    const QJsonObject sheet{{"sheet", "Data"}, {"frozen", "A2"}, {"bold", true}};
    const QJsonObject csv{{"bom", true}, {"crlf", true}};
    QTest::newRow("xlsx") << int(efXlsx) << false << QChar('.') << "xlsx" << false << sheet;
    QTest::newRow("sav") << int(efSpss) << false << QChar('.') << "sav" << true << QJsonObject();
    QTest::newRow("dta") << int(efStata) << false << QChar('.') << "dta" << true << QJsonObject();
    QTest::newRow("csv, decimal point") << int(efCsvUtf8) << false << QChar('.') << ",:." << false << csv;
    QTest::newRow("csv, decimal comma") << int(efCsvUtf8) << false << QChar(',') << ";:," << false << csv;
    QJsonObject presentationSheet = sheet;
    presentationSheet[QStringLiteral("sheet")] = QStringLiteral("Presentations");
    QTest::newRow("presentations xlsx") << int(efXlsx) << true << QChar('.') << "xlsx" << false << presentationSheet;
    QTest::newRow("presentations sav") << int(efSpss) << true << QChar('.') << "sav" << true << QJsonObject();
    QTest::newRow("presentations dta, tool") << int(efStata) << true << QChar('.') << "dta" << true << QJsonObject();
    QTest::newRow("presentations csv") << int(efCsvUtf8) << true << QChar(',') << ";:," << false << csv;
}

void TestAnalysisExport::readBack()
{
    QFETCH(int, format);
    QFETCH(bool, presentations);
    QFETCH(QChar, decimal);
    QFETCH(QString, reader);
    QFETCH(bool, labelled);
    QFETCH(QJsonObject, extra);
    const ExportFormatInfo *info = exportFormatInfo(format);
    const QString path = m_dir.filePath(QStringLiteral("izvoz.") + QLatin1String(info->extension));
    const QString grid = QStringLiteral("select * from data order by id; -- the grid's statement\n");
    if (QString(QTest::currentDataTag()).endsWith(QLatin1String("tool"))) {
        const ToolRun run =
            runTool(QStringLiteral(KALVESTRIN_TOOL),
                    {QStringLiteral("export"), m_database, QLatin1String(info->name), path,
                     QStringLiteral("select * from data order by id"), QStringLiteral("--presentations")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    } else {
        ResultsDatabase con;
        con.setConnectionString(ConnectionString::forFile(m_database));
        const FakeClock clock;
        // libxlsxwriter prints numbers with printf: a decimal comma in LC_NUMERIC must not reach the file.
        const bool commaLocale = format == efXlsx && std::setlocale(LC_NUMERIC, "hr_HR.UTF-8");
        const int rows = presentations ? ExportPresentations(&con, grid, path, ExportFormat(format), clock, decimal)
                                       : ExportQuery(&con, grid, path, ExportFormat(format), "Data", clock, decimal);
        if (commaLocale)
            std::setlocale(LC_NUMERIC, "C");
        QCOMPARE(rows, 2);
    }
    const QJsonObject file = readFile(reader, path);
    const QJsonArray expected = presentations ? presentationRows() : dataRows();
    const QJsonArray rows = file[QStringLiteral("rows")].toArray();
    QCOMPARE(rows.size(), expected.size());
    for (qsizetype r = 0; r < rows.size(); ++r) {
        QJsonArray want = expected[r].toArray();
        // Debian's libxlsxwriter prints numbers with 16 significant digits.
        if (format == efXlsx && !presentations && r == 0)
            want[6] = 0.3;
        if (format == efXlsx && presentations && r == 1)
            want[12] = 0.3;
        QCOMPARE(rows[r].toArray(), want);
    }
    QCOMPARE(file[QStringLiteral("extra")].toObject(), extra);
    const QJsonObject labels = file[QStringLiteral("labels")].toObject();
    QCOMPARE(labels.isEmpty(), !labelled);
    if (labelled) {
        QCOMPARE(labels[QStringLiteral("Surname")].toString(), QStringLiteral("Prezime"));
        QCOMPARE(labels[QStringLiteral("Gender")].toString(), QStringLiteral("Spol"));
        const QString last = presentations ? QStringLiteral("Judgement") : QStringLiteral("M");
        QCOMPARE(labels[last].toString(),
                 presentations ? QStringLiteral("Procjena") : QStringLiteral("Aritmetička sredina"));
        QCOMPARE(file[QStringLiteral("values")].toObject(),
                 (QJsonObject{{"0", QStringLiteral("Ženski")}, {"1", QStringLiteral("Muški")}}));
    }
}

void TestAnalysisExport::refusedBeforeWriting_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("message");
    QTest::newRow("xlsx rows") << int(efXlsx) << 1048576 << QVariant(1LL)
                               << "Excel 2007+ prima najviše 1048575 redaka podataka, a za izvoz ih je 1048576. "
                                  "Suzite upit.";
    QTest::newRow("Stata text") << int(efStata) << 1 << QVariant(QString(1023, QChar(u'ž')))
                                << "Stupac \"X\" sadrži tekst od 2046 bajtova (UTF-8); Stata prima najviše 2045.";
    QTest::newRow("SPSS integer") << int(efSpss) << 1 << QVariant((1LL << 53) + 1)
                                  << "Stupac \"X\" sadrži broj 9007199254740993, koji SPSS ne može zapisati točno.";
}

void TestAnalysisExport::refusedBeforeWriting()
{
    QFETCH(int, format);
    QFETCH(int, rows);
    QFETCH(QVariant, value);
    QFETCH(QString, message);
    ExportData data;
    data.columns = {ExportColumn{QStringLiteral("X"), value.typeId() == QMetaType::QString
                                                          ? ExportColumnType::Text
                                                          : ExportColumnType::Integer}};
    // The rows are counted, not walked, unless the count fits.
    ColumnSummary summary;
    summary.add(value, 0);
    data.rows = ExportRows(std::size_t(rows),
                           [value] {
                               struct One : ExportRows::Cursor
                               {
                                   QVariant v;
                                   bool done = false;
                                   bool next(QVariantList &row) override
                                   {
                                       return !std::exchange(done, true) && (row = {v}, true);
                                   }
                               };
                               auto cursor = std::make_unique<One>();
                               cursor->v = value;
                               return cursor;
                           },
                           {summary});
    try {
        makeExporter(ExportFormat(format))->check(data);
        QFAIL("not refused");
    } catch (const Failure &f) {
        QCOMPARE(f.text(), message);
    }
}

QTEST_GUILESS_MAIN(TestAnalysisExport)
#include "TestAnalysisExport.moc"
