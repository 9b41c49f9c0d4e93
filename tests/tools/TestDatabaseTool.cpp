// The tool's database commands, run as a user runs them.

#include "database/SelectRule.h"
#include "tests/support/ToolRun.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

ToolRun tool(const QStringList &args)
{
    return runTool(QStringLiteral(KALVESTRIN_TOOL), args);
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
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
        const QByteArray created = bytesOf(db);
        QVERIFY(created.startsWith("SQLite format 3"));

        ToolRun again = tool({QStringLiteral("create-database"), db});
        QCOMPARE(again.exitCode, 1);
        QVERIFY(!again.err.isEmpty());
        QCOMPARE(bytesOf(db), created);

        QCOMPARE(tool({QStringLiteral("query"), db, QStringLiteral("select count(*) from data")}).out,
                 QStringLiteral("count(*)\n0\n"));
        const ToolRun empty = tool({QStringLiteral("query"), db, QStringLiteral("  select * from data;\n")});
        QCOMPARE(empty.exitCode, 0);
        QCOMPARE(empty.out, QStringLiteral("ID\tName\tSurname\tAge\tGender\tN\tM\tV\tItems\tField1\tField2\tField3\n"));
    }

    void refusalsPrintTheWindowsMessages_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("message");
        const QString refused = QStringLiteral("Program nije uspio izvršiti upisanu SQL naredbu");
        QTest::newRow("delete") << "delete from data" << SelectRule::NotSelectText;
        QTest::newRow("select then delete") << "select 1; delete from data" << refused;
        QTest::newRow("selectx") << "selectx * from data" << refused;
    }
    void refusalsPrintTheWindowsMessages()
    {
        QFETCH(QString, statement);
        QFETCH(QString, message);
        const QString db = m_dir.filePath(QStringLiteral("refusals.mdb"));
        if (!QFile::exists(db))
            QCOMPARE(tool({QStringLiteral("create-database"), db}).exitCode, 0);
        const QByteArray before = bytesOf(db);
        const ToolRun r = tool({QStringLiteral("query"), db, statement});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QCOMPARE(r.out, QString());
        QCOMPARE(bytesOf(db), before);
    }

    void queryRefusesAFileThatIsNotADatabase()
    {
        const QString other = m_dir.filePath(QStringLiteral("old.mdb"));
        QFile f(other);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, '\x01'));
        f.close();
        QCOMPARE(tool({QStringLiteral("query"), other, QStringLiteral("select 1")}).exitCode, 1);
        QCOMPARE(bytesOf(other), QByteArray(4096, '\x01'));
        QCOMPARE(tool({QStringLiteral("query"), m_dir.filePath(QStringLiteral("none.mdb")), QStringLiteral("select 1")})
                     .exitCode,
                 1);
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("none.mdb"))));
    }
};

QTEST_GUILESS_MAIN(TestDatabaseTool)
#include "TestDatabaseTool.moc"
