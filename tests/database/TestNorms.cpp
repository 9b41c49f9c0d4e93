// Norm groups and the report: statistics and scores of known results checked
// against values computed here, a published table's interpolated
// percentiles, the report read back from its PDF, and the help page's worked
// example reproduced to the last digit.

#include "common/Failure.h"
#include "common/SafeFile.h"
#include "database/StoreFinishedTest.h"
#include "results/NormCsv.h"
#include "results/NormGroup.h"
#include "tests/database/DatabaseFixture.h"
#include "tests/results/PdfText.h"

#include <QRegularExpression>
#include <QTest>

#include <cmath>

namespace {

ToolRun tool(const QStringList &args)
{
    return runTool(QStringLiteral(KALVESTRIN_TOOL), args);
}

struct Stored
{
    int age;
    const char *gender;
    const char *field1;
    const char *date; // empty: no date known
    QList<double> efficiencies;
};

// Dyadic efficiencies: every sum and mean below is exact in binary.
const Stored Tests[] = {
    {20, "Ženski", "grupa A", "2026-01-10", {0.25, 0.25}}, {25, "Muški", "grupa A", "2026-02-10", {0.5, 0.5}},
    {30, "Ženski", "grupa B", "2026-03-10", {0.75, 0.75}}, {35, "Muški", "Grupa a", "2026-04-10", {0.5, 0.5}},
    {40, "Ženski", "grupa A", "2026-05-10", {2, 0.125}},   {45, "Muški", "grupa B", "2026-06-10", {0.125, 0.375}},
    {50, "Ženski", "grupa A", "", {0.375, 0.375}},
};

long double meanOf(const QList<double> &e)
{
    long double sum = 0;
    for (double v : e)
        sum += v;
    return sum / e.size();
}

QString n17(long double v)
{
    return QString::number(double(v), 'g', 17);
}

} // namespace

class TestNorms : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void statisticsAndScoresOfStoredTests_data()
    {
        QTest::addColumn<QStringList>("filter");
        QTest::addColumn<QList<int>>("members");
        QTest::addColumn<QString>("tasks"); // the exported task lines, where checked
        QTest::newRow("all") << QStringList{} << QList<int>{0, 1, 2, 3, 4, 5, 6} << QString();
        QTest::newRow("age") << QStringList{"--age", "25-40"} << QList<int>{1, 2, 3, 4}
                             << "zadatak,1,0.5,0.625,1.0625\r\nzadatak,2,0.40625,0.5,0.5625\r\n";
        QTest::newRow("women") << QStringList{"--gender", "Z"} << QList<int>{0, 2, 4, 6} << QString();
        QTest::newRow("field as typed") << QStringList{"--field1", "grupa A"} << QList<int>{0, 1, 4, 6} << QString();
        QTest::newRow("dates, none unknown")
            << QStringList{"--from", "2026-02-01", "--to", "2026-05-31"} << QList<int>{1, 2, 3, 4} << QString();
        QTest::newRow("men in a group") << QStringList{"--gender", "M", "--field1", "grupa"} << QList<int>{1, 5}
                                        << QString();
        QTest::newRow("one test is too few") << QStringList{"--age", "20-20"} << QList<int>{} << QString();
    }

    void statisticsAndScoresOfStoredTests()
    {
        QFETCH(QStringList, filter);
        QFETCH(QList<int>, members);
        QFETCH(QString, tasks);
        DatabaseFixture f;
        QList<qint64> ids;
        for (const Stored &s : Tests) {
            SessionResult r = finishedTest(s.efficiencies, QStringLiteral("ANA"), QString::number(s.age),
                                           QString::fromUtf8(s.gender));
            r.subject.Field1 = QString::fromUtf8(s.field1);
            r.session.uuid = QUuid::createUuid();
            r.session.startedUtc = QDateTime(QDate::fromString(QLatin1String(s.date), Qt::ISODate), QTime(12, 0));
            ids << StoreFinishedTest(f.con, r, DecimalComma);
        }
        const ToolRun created = tool(QStringList{"norms", f.path(), "create", "skupina"} + filter);
        if (members.isEmpty()) {
            QCOMPARE(created.exitCode, 1);
            QCOMPARE(tool({"norms", f.path(), "list"}).out, QString());
            return;
        }
        QList<long double> m;
        for (int i : members)
            m << meanOf(Tests[i].efficiencies);
        long double sum = 0, squares = 0;
        for (long double v : m)
            sum += v;
        const double mean = double(sum / m.size());
        for (long double v : m)
            squares += (v - mean) * (v - mean);
        const double sd = double(std::sqrt(squares / (m.size() - 1)));
        QCOMPARE(created.out, QStringLiteral("%1\t%2\t%3\n").arg(m.size()).arg(n17(mean), n17(sd)));

        for (int i = 0; i < int(std::size(Tests)); ++i) {
            const long double own = meanOf(Tests[i].efficiencies);
            int larger = 0, equal = 0;
            for (long double v : m)
                (v > own ? larger : equal) += v >= own ? 1 : 0;
            const long double z = (mean - own) / sd;
            const int stanine = std::clamp(int(std::floor(2 * z + 5.5L)), 1, 9);
            QCOMPARE(tool({"norms", f.path(), "score", "skupina", QString::number(ids[i])}).out,
                     QStringLiteral("%1\t%2\t%3\t%4\t%5\n")
                         .arg(n17(100.0L * (2 * larger + equal) / (2 * m.size())), n17(z), n17(50 + 10 * z))
                         .arg(stanine)
                         .arg(m.size()));
        }
        if (!tasks.isEmpty()) {
            const QString csv = f.dir.filePath(QStringLiteral("s.csv"));
            QCOMPARE(tool({"norms", f.path(), "export", "skupina", csv}).exitCode, 0);
            QVERIFY(QString::fromUtf8(readWholeFile(csv)).endsWith(tasks));
        }
    }

    void publishedTableInterpolates_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<double>("m");
        QTest::addColumn<double>("percentile");
        const QByteArray table = "Kalvestrin norme,1\r\nopis,\"studenti, 20-30\"\r\nn,200\r\nsredina,0.3\r\nsd,0.1\r\n"
                                 "centil,0.1,95\r\ncentil,0.2,75\r\ncentil,0.3,50\r\ncentil,0.5,10\r\n";
        QByteArray spreadsheet = table;
        spreadsheet.replace(',', ';').replace('.', ',').replace("studenti; ", "studenti, ");
        QTest::newRow("between points") << table << 0.25 << 62.5;
        QTest::newRow("a quarter of the way") << table << 0.35 << 40.0;
        QTest::newRow("on a point") << table << 0.2 << 75.0;
        QTest::newRow("below the first point") << table << 0.05 << 95.0;
        QTest::newRow("above the last point") << table << 0.9 << 10.0;
        QTest::newRow("semicolons, decimal commas") << spreadsheet << 0.45 << 20.0;
    }

    void publishedTableInterpolates()
    {
        QFETCH(QByteArray, csv);
        QFETCH(double, m);
        QFETCH(double, percentile);
        const NormGroup g = NormCsv::read(csv, QStringLiteral("objavljene"));
        QCOMPARE(g.definition, QStringLiteral("studenti, 20-30"));
        const NormScore s = g.score(m);
        QVERIFY(s.interpolated);
        QVERIFY(!s.small);
        QVERIFY2(std::abs(double(s.percentile) - percentile) < 1e-12, qPrintable(n17(s.percentile)));
        QCOMPARE(double(s.z), double((0.3L - (long double)m) / 0.1L));
        // What is written reads back to the same group.
        const NormGroup again = NormCsv::read(NormCsv::write(g), g.name);
        QCOMPARE(double(again.score(m).percentile), double(s.percentile));
    }

    void refusedTables_data()
    {
        QTest::addColumn<QByteArray>("csv");
        const QByteArray head = "Kalvestrin norme,1\nn,3\nsredina,0.3\nsd,0.1\n";
        QTest::newRow("not a norm table") << QByteArray("n,3\nsredina,0.3\nsd,0.1\ncentil,0.1,90\ncentil,0.2,50\n");
        QTest::newRow("no points, no values") << head;
        QTest::newRow("points not ascending") << head + "centil,0.2,90\ncentil,0.2,50\n";
        QTest::newRow("values not n") << head + "vrijednost,0.1\nvrijednost,0.2\n";
        QTest::newRow("no spread") << QByteArray("Kalvestrin norme,1\nn,3\nsredina,0.3\nsd,0\ncentil,0.1,90\n"
                                                 "centil,0.2,50\n");
        QTest::newRow("not a number") << head + "centil,0.1,90\ncentil,x,50\n";
    }

    void refusedTables()
    {
        QFETCH(QByteArray, csv);
        QVERIFY_THROWS_EXCEPTION(Failure, NormCsv::read(csv, QStringLiteral("x")));
    }

    void workedExampleAndReport()
    {
        // The help page's example: its values, and what the tool prints for them.
        const QString page = QString::fromUtf8(readWholeFile(QStringLiteral(KALVESTRIN_NORMS_HELP)));
        const QRegularExpression values(QStringLiteral("class=\"primjer-m\">([^<]*)<"));
        const QRegularExpression printed(QStringLiteral("<pre class=\"primjer\">([^<]*)</pre>"));
        const QStringList m = values.match(page).captured(1).simplified().split(QLatin1Char(' '));
        const QStringList lines = printed.match(page).captured(1).split(QLatin1Char('\n'));
        QCOMPARE(m.size(), 8);
        QCOMPARE(lines.size(), 4);
        DatabaseFixture f;
        for (const QString &v : m)
            StoreFinishedTest(f.con, finishedTest({v.toDouble(), v.toDouble()}), DecimalComma);
        QCOMPARE(tool({"norms", f.path(), "create", "primjer"}).out, lines[1] + QLatin1Char('\n'));
        // A test stored later does not move the group.
        StoreFinishedTest(f.con, finishedTest(QList<double>(60, 0.0625)), DecimalComma);
        QCOMPARE(tool({"norms", f.path(), "score", "primjer", "4"}).out, lines[3] + QLatin1Char('\n'));

        const QString csv = f.dir.filePath(QStringLiteral("primjer.csv"));
        QCOMPARE(tool({"norms", f.path(), "export", "primjer", csv}).exitCode, 0);
        QCOMPARE(tool({"norms", f.path(), "import", "kopija", csv}).exitCode, 0);
        QCOMPARE(tool({"norms", f.path(), "delete", "primjer"}).exitCode, 0);
        QCOMPARE(tool({"norms", f.path(), "score", "kopija", "4"}).out, lines[3] + QLatin1Char('\n'));
        QCOMPARE(tool({"norms", f.path(), "list"}).out, QStringLiteral("kopija\t8\tsva pohranjena testiranja\n"));

        // The report of test 4: the scores as the page shows them, one page;
        // a test of 60 tasks needs a second page for its table.
        const QString pdf = f.dir.filePath(QStringLiteral("r.pdf"));
        QCOMPARE(tool({"report", f.path(), "4", "kopija", pdf}).exitCode, 0);
        const QString text = pdfText(pdf).simplified();
        for (const char *expected : {"Centilni rang: 56.3", "z: 0.16", "T: 51.6", "Stanine: 5", "(n = 8; M = 0.26250;",
                                     "Definicija skupine: sva pohranjena testiranja", "Oprez: normna skupina",
                                     "Aritmetička sredina: 0.25000", "Potpis ispitivača:"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
        QCOMPARE(pdfInfo(pdf), QStringList({"1", "595 x 842 pts (A4)"}));
        QCOMPARE(tool({"report", f.path(), "9", "kopija", pdf}).exitCode, 0);
        QCOMPARE(pdfInfo(pdf).first(), QStringLiteral("2"));
        QVERIFY(pdfText(pdf, 2).contains(QStringLiteral("60.")));
    }
};

QTEST_GUILESS_MAIN(TestNorms)
#include "TestNorms.moc"
