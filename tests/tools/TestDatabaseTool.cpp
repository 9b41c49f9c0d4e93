// The tool's database commands, run as a user runs them.

#include "database/ReadOnlyStatement.h"
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

        // A refusal is the SQL window's message on stderr, nothing on stdout, the file as it was.
        const QByteArray beforeRefusal = bytesOf(db);
        const ToolRun refused = tool({QStringLiteral("query"), db, QStringLiteral("select 1; delete from data")});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.err.contains(ReadOnlyStatement::RefusedText()), qPrintable(refused.err));
        QCOMPARE(refused.out, QString());
        QCOMPARE(bytesOf(db), beforeRefusal);
    }
};

QTEST_GUILESS_MAIN(TestDatabaseTool)
#include "TestDatabaseTool.moc"
