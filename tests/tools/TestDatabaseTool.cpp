// The tool's database commands, run as a user runs them.

#include "common/SafeFile.h"
#include "database/ReadOnlyStatement.h"
#include "database/StoreFinishedTest.h"
#include "tests/database/DatabaseFixture.h"
#include "tests/support/ToolRun.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

ToolRun tool(const QStringList &args)
{
    return runTool(QStringLiteral(KALVESTRIN_TOOL), args);
}

} // namespace

class TestDatabaseTool : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private Q_SLOTS:
    void createsOnceAndQueriesUnderTheWindowsRules()
    {
        const QString db = m_dir.filePath(QStringLiteral("dir ;č/Kalvestrin.mdb"));
        QVERIFY(QDir().mkpath(QFileInfo(db).path()));
        QCOMPARE(tool({QStringLiteral("create-database"), db}).exitCode, 0);
        const QByteArray created = readWholeFile(db);
        QVERIFY(created.startsWith("SQLite format 3"));

        ToolRun again = tool({QStringLiteral("create-database"), db});
        QCOMPARE(again.exitCode, 1);
        QVERIFY(!again.err.isEmpty());
        QCOMPARE(readWholeFile(db), created);

        QCOMPARE(tool({QStringLiteral("query"), db, QStringLiteral("select count(*) from data")}).out,
                 QStringLiteral("count(*)\n0\n"));
        const ToolRun empty = tool({QStringLiteral("query"), db, QStringLiteral("  select * from data;\n")});
        QCOMPARE(empty.exitCode, 0);
        QCOMPARE(empty.out, QStringLiteral("ID\tName\tSurname\tAge\tGender\tN\tM\tV\tItems\tField1\tField2\tField3\n"));

        // A refusal is the SQL window's message on stderr, nothing on stdout, the file as it was.
        const QByteArray beforeRefusal = readWholeFile(db);
        const ToolRun refused = tool({QStringLiteral("query"), db, QStringLiteral("select 1; delete from data")});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.err.contains(ReadOnlyStatement::RefusedText()), qPrintable(refused.err));
        QCOMPARE(refused.out, QString());
        QCOMPARE(readWholeFile(db), beforeRefusal);
    }

    void presentationsInTheTablesColumnOrder()
    {
        const QString db = m_dir.filePath(QStringLiteral("p.mdb"));
        ResultsSchema::createDatabase(db);
        qint64 second = 0;
        {
            ResultsDatabase con;
            con.setConnectionString(ConnectionString::forFile(db));
            con.open();
            for (int t = 0; t < 2; ++t) {
                SessionResult r = finishedTest({0.5, 0.5});
                r.session.uuid = QUuid::fromString(QStringLiteral("00000000-0000-0000-0000-00000000000%1").arg(t + 1));
                r.independentMode = t == 1;
                r.presentations = {{0, 0, 4, 0, 1'500'000, "Y", 0.0625, "x", "unrecognised"},
                                   {0, 1, 1, 2'000'000'001, -1, {}, 1.0 / 3, "a\tb", "recognised"}};
                second = StoreFinishedTest(con, r, QLatin1Char(','));
            }
        }
        const QString header = QStringLiteral(
            "SessionUUID\tNr\tTask\tLevelIndex\tLevel\tEfficiency\tOnsetMs\tResponseMs\tKey\tTypedAnswer\tJudgement\n");
        const ToolRun one = tool({QStringLiteral("presentations"), db, QString::number(second)});
        QCOMPARE(one.out,
                 header + QStringLiteral("00000000-0000-0000-0000-000000000002\t1\t1\t1\t4\t0.0625\t0.000\t1.500"
                                         "\tY\tx\tunrecognised\n"
                                         "00000000-0000-0000-0000-000000000002\t2\t1\t2\t1\t0.333333333333333"
                                         "\t2000.000\t\t\ta\\tb\trecognised\n"));
        const QStringList all = tool({QStringLiteral("presentations"), db}).out.split(QLatin1Char('\n'));
        QCOMPARE(all.size(), 6);
        QVERIFY(all[1].startsWith(QStringLiteral("00000000-0000-0000-0000-000000000001\t1\t")));
        QVERIFY(all[1].endsWith(QStringLiteral("\tY\t\tunrecognised"))); // no typed answer in the assisted mode
        QCOMPARE(tool({QStringLiteral("presentations"), db, QStringLiteral("99")}).out, header);
    }
};

QTEST_GUILESS_MAIN(TestDatabaseTool)
#include "TestDatabaseTool.moc"
