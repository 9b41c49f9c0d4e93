// The central database on a private PostgreSQL server: values keep their
// type and precision, failures come in the program's words, the roles hold,
// and sending loses nothing and doubles nothing whatever breaks on the way
// (the server stopped hard, down for a while, two stations at once, a
// station killed while it sends).

#include "database/central/CentralFailure.h"
#include "database/central/CentralQuery.h"
#include "database/central/CentralSchema.h"
#include "database/central/CentralStore.h"
#include "database/central/CentralSync.h"
#include "database/central/ServerSettings.h"
#include "tests/database/DatabaseFixture.h"
#include "tests/support/PrivatePgServer.h"
#include "tests/support/StationFolder.h"
#include "tests/support/ToolRun.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString Tool = QStringLiteral(KALVESTRIN_TOOL);
using Reason = CentralFailure::Reason;

QString station(const QTemporaryDir &root, const QString &name, int count)
{
    return makeStationFolder(root.filePath(name), name, count);
}

} // namespace

class TestCentralStore : public QObject
{
    Q_OBJECT

    PrivatePgServer m_server;
    QTemporaryDir m_root;

    QString central(const QString &user) const { return m_server.conninfo(user, QStringLiteral("kalvestrin")); }
    QString psql(const QString &sql) const { return m_server.psql(sql, QStringLiteral("kalvestrin")); }
    ToolRun sync(const QString &dir) const { return runTool(Tool, {QStringLiteral("sync"), dir}); }
    // Every test of the stations on the server once, each with its 40 presentations.
    void verifyExactlyOnce(int tests)
    {
        QCOMPARE(psql(QStringLiteral("SELECT count(*), count(DISTINCT UUID) FROM Sessions")),
                 QStringLiteral("%1|%1").arg(tests));
        QCOMPARE(psql(QStringLiteral("SELECT count(*) FROM Data")), QString::number(tests));
        QCOMPARE(psql(QStringLiteral("SELECT count(*) FROM (SELECT SessionUUID FROM Presentations GROUP BY 1 "
                                     "HAVING count(*) = 40) AS p")),
                 QString::number(tests));
    }
    // Until the server holds a test of `name`, or its sending has ended (which must not be by failing).
    void waitForSending(QProcess &sending, const QString &name)
    {
        auto sent = [&] {
            return psql(QStringLiteral("SELECT count(*) FROM Sessions WHERE Station = '%1'").arg(name)).toInt() > 0;
        };
        QTRY_VERIFY_WITH_TIMEOUT(sending.state() == QProcess::NotRunning || sent(), 60000);
        QVERIFY2(sent(), sending.readAllStandardError().constData());
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (PrivatePgServer::binDir().isEmpty())
            QSKIP("PostgreSQL is not installed (/usr/lib/postgresql/*/bin): apt-get install postgresql");
        QString error;
        QVERIFY2(m_server.start(&error), qPrintable(error));
        m_server.psql(QStringLiteral("CREATE DATABASE kalvestrin"), QStringLiteral("postgres"), &error);
        const ToolRun init = runTool(Tool, {QStringLiteral("server-init"), central(QStringLiteral("postgres"))});
        QVERIFY2(init.exitCode == 0, qPrintable(init.err));
        for (const char *role : {"station", "examiner", "analysis"}) {
            const QString login = QStringLiteral("%1_1").arg(QLatin1String(role));
            psql(QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD 'pw-%1' IN ROLE kalvestrin_%2")
                     .arg(login, QLatin1String(role)));
            m_server.addPassword(login, QStringLiteral("pw-") + login);
        }
        m_server.addPassword(QStringLiteral("analysis_1x"), QStringLiteral("wrong"));
        psql(QStringLiteral("CREATE ROLE analysis_1x LOGIN PASSWORD 'right'"));
    }

    void valuesKeepTypeAndPrecision()
    {
        PgConnection con(central(QStringLiteral("station_1")));
        const QVariantList sent{0.1 + 0.2, 9007199254740993LL, QStringLiteral("Čćžšđ 'x'"), true, QVariant()};
        const PgResult r = con.exec(QStringLiteral("SELECT $1::float8, $2, $3::text, $4, $5::text"), sent);
        QCOMPARE(r.values(0), (QVariantList{0.1 + 0.2, 9007199254740993LL, sent[2], 1LL, QVariant()}));
    }

    void failuresInPlainWords_data()
    {
        QTest::addColumn<QString>("conninfo");
        QTest::addColumn<int>("reason");
        QTest::addColumn<QString>("words");
        QTest::newRow("wrong password") << central(QStringLiteral("analysis_1x")) << int(Reason::WrongPassword)
                                        << QStringLiteral("nije prihvatio korisničko ime ili lozinku");
        QTest::newRow("no server") << m_server.conninfo().replace(QStringLiteral("5432"), QStringLiteral("5999"))
                                   << int(Reason::Unreachable) << QStringLiteral("nije dostupan");
        QTest::newRow("no database") << m_server.conninfo(QStringLiteral("postgres"), QStringLiteral("nema"))
                                     << int(Reason::NoDatabase) << QStringLiteral("nema tražene baze");
    }
    void failuresInPlainWords()
    {
        QFETCH(QString, conninfo);
        QFETCH(int, reason);
        QFETCH(QString, words);
        try {
            PgConnection con(conninfo);
            QFAIL("connected");
        } catch (const CentralFailure &f) {
            QCOMPARE(int(f.reason()), reason);
            QVERIFY2(f.text().contains(words), qPrintable(f.text()));
        }
        // What libpq says when TLS is refused or cannot be checked (no TCP here to provoke it).
        QCOMPARE(CentralFailure::classify(QStringLiteral("server does not support SSL, but SSL was required"), {}),
                 Reason::TlsRefused);
        QCOMPARE(CentralFailure::classify(QStringLiteral("root certificate file \"/h/.postgresql/root.crt\" does not "
                                                         "exist"),
                                          {}),
                 Reason::TlsRefused);
    }

    void rolesHold_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("statement");
        QTest::newRow("station update") << "station_1"
                                        << "UPDATE Data SET M = 0";
        QTest::newRow("station delete") << "station_1"
                                        << "DELETE FROM Sessions";
        QTest::newRow("station edit") << "station_1"
                                      << "SELECT kalvestrin_edit(1, 'M', '0', 'x')";
        QTest::newRow("analysis edit") << "analysis_1"
                                       << "SELECT kalvestrin_edit(1, 'M', '0', 'x')";
        QTest::newRow("analysis insert") << "analysis_1"
                                         << "INSERT INTO Data (Name) VALUES ('x')";
    }
    void rolesHold()
    {
        QFETCH(QString, user);
        QFETCH(QString, statement);
        PgConnection con(central(user));
        try {
            con.exec(statement);
            QFAIL("the server let it through");
        } catch (const CentralFailure &f) {
            QCOMPARE(f.reason(), Reason::PermissionDenied);
        }
    }

    // Crafted statements through the SQL window's path, even as the superuser.
    void typedStatementsOnlyRead_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::newRow("second statement") << "SELECT 1; DELETE FROM Data";
        QTest::newRow("edit function") << "SELECT kalvestrin_edit(1, 'M', '0', 'x')";
        QTest::newRow("read-write again") << "SELECT set_config('transaction_read_only', 'off', true)";
        QTest::newRow("locking read") << "select * from Data for update";
        QTest::newRow("not a select") << "  delete from Data";
    }
    void typedStatementsOnlyRead()
    {
        QFETCH(QString, statement);
        const ToolRun r = runTool(Tool, {QStringLiteral("query"), central(QStringLiteral("postgres")), statement});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(!r.err.isEmpty());
    }

    void sendingSurvivesFaults()
    {
        const QString a = station(m_root, QStringLiteral("a"), 500);
        const QString b = station(m_root, QStringLiteral("b"), 500);
        for (const QString &dir : {a, b})
            QCOMPARE(runTool(Tool, {QStringLiteral("server-set"), dir, central(QStringLiteral("station_1"))}).exitCode,
                     0);
        // Killed while sending, then the server stopped hard while the other station sends.
        QProcess killed;
        killed.start(Tool, {QStringLiteral("sync"), a});
        waitForSending(killed, QStringLiteral("a"));
        killed.kill();
        killed.waitForFinished();
        QProcess stopped;
        stopped.start(Tool, {QStringLiteral("sync"), b});
        waitForSending(stopped, QStringLiteral("b"));
        m_server.stop(true);
        QVERIFY(stopped.waitForFinished());
        // Down: the station says why and keeps everything.
        const ToolRun down = sync(a);
        QCOMPARE(down.exitCode, 1);
        QVERIFY2(down.err.contains(QStringLiteral("nije dostupan")), qPrintable(down.err));
        QVERIFY(m_server.restart());
        // Both at once, each picking up where it was cut off.
        QProcess first, second;
        first.start(Tool, {QStringLiteral("sync"), a});
        second.start(Tool, {QStringLiteral("sync"), b});
        QVERIFY(first.waitForFinished(120000) && second.waitForFinished(120000));
        QCOMPARE(first.exitCode() + second.exitCode(), 0);
        verifyExactlyOnce(1000);
        QCOMPARE(sync(a).out, QStringLiteral("sent 0\n"));
        // Precision and text as stored locally.
        ResultsDatabase local;
        openIn(local, a);
        const QString uuid = scalar(local, QStringLiteral("SELECT UUID FROM Sessions LIMIT 1")).toString();
        QCOMPARE(scalar(local, QStringLiteral("SELECT count(*) FROM Data")).toInt(), 500);
        PgConnection con(central(QStringLiteral("analysis_1")));
        const PgResult r = con.exec(QStringLiteral("SELECT d.M, d.V, d.Items FROM Data d JOIN Sessions s ON "
                                                   "s.DataID = d.ID WHERE s.UUID = $1::uuid"),
                                    {uuid});
        const QVariantList mine = firstRow(local, QStringLiteral("SELECT d.M, d.V, d.Items FROM Data d JOIN "
                                                                 "Sessions s ON s.DataID = d.ID WHERE s.UUID = '") +
                                                      uuid + QLatin1Char('\''));
        QCOMPARE(r.value(0, 0).toDouble(), mine[0].toDouble());
        QCOMPARE(r.value(0, 1).toDouble(), mine[1].toDouble());
        QCOMPARE(r.text(0, 2), mine[2].toString());
        // An export of the server's rows is the station's export of the same rows, byte for byte.
        const QString select =
            QStringLiteral("SELECT Name, Surname, Age, Gender, N, M, V, Items, Field1, Field2, Field3 "
                           "FROM Data WHERE Name LIKE 'a%' ORDER BY Name;");
        QDir().mkpath(m_root.filePath(QStringLiteral("c")));
        QCOMPARE(runTool(Tool, {QStringLiteral("export"), a + QStringLiteral("/Kalvestrin.mdb"),
                                QStringLiteral("efText"), m_root.filePath(QStringLiteral("rows.txt")), select})
                     .exitCode,
                 0);
        const ToolRun exported =
            runTool(Tool, {QStringLiteral("export"), central(QStringLiteral("analysis_1")), QStringLiteral("efText"),
                           m_root.filePath(QStringLiteral("c/rows.txt")), select});
        QCOMPARE(exported.out,
                 QStringLiteral("500 rows written to %1\n").arg(m_root.filePath(QStringLiteral("c/rows.txt"))));
        QFile mineFile(m_root.filePath(QStringLiteral("rows.txt"))),
            centralFile(m_root.filePath(QStringLiteral("c/rows.txt")));
        QVERIFY(mineFile.open(QIODevice::ReadOnly) && centralFile.open(QIODevice::ReadOnly));
        QCOMPARE(centralFile.readAll(), mineFile.readAll());
    }

    // The program's background sending: the server away at first, back later.
    void backgroundSendingRetries()
    {
        const QString dir = station(m_root, QStringLiteral("bg"), 3);
        m_server.stop(true);
        CentralSync sync(dir + QStringLiteral("/Kalvestrin.mdb"), central(QStringLiteral("station_1")));
        QSignalSpy sent(&sync, &CentralSync::sent), failed(&sync, &CentralSync::failed);
        sync.sendSoon();
        QTRY_COMPARE(failed.size(), 1);
        QCOMPARE(failed[0][1].toInt(), CentralSync::FirstRetryMs);
        QVERIFY(m_server.restart());
        QTRY_COMPARE_WITH_TIMEOUT(sent.size(), 1, 10000);
        QCOMPARE(sent[0][0].toInt(), 3);
        QCOMPARE(psql(QStringLiteral("SELECT count(*) FROM Sessions WHERE Station = 'bg'")), QStringLiteral("3"));
    }

    void examinerEditsAreAudited()
    {
        QCOMPARE(CentralStore::checkConnection(ServerSettings::fromConninfo(central(QStringLiteral("examiner_1")))),
                 QString());
        QVERIFY(
            CentralStore::checkConnection(ServerSettings::fromConninfo(m_server.conninfo())).contains("server-init"));
        const ToolRun withPassword = runTool(Tool, {QStringLiteral("server-set"), m_root.path(),
                                                    central(QStringLiteral("x")) + QStringLiteral(" password=x")});
        QVERIFY(withPassword.exitCode == 1 && withPassword.err.contains(QStringLiteral("lozinku")));
        PgConnection con(central(QStringLiteral("examiner_1")));
        const qint64 id = CentralStore::dataPage(con, 0, 1).at(0).at(0).toLongLong();
        CentralStore::editValue(con, id, QStringLiteral("Field3"), QStringLiteral("nova"), QStringLiteral("s7"));
        QCOMPARE(psql(QStringLiteral("SELECT EditedBy, Station, ColumnName, OldValue, NewValue FROM DataEdits")),
                 QStringLiteral("examiner_1|s7|field3||nova"));
    }
};

QTEST_GUILESS_MAIN(TestCentralStore)
#include "TestCentralStore.moc"
