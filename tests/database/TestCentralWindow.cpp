// The group results window over the central database of a private server:
// the switch, the audited edit, the export, the SQL window's read-only rule,
// a server that is away, and the setting's dialog.

#include "database/Query.h"
#include "database/ResultsTableModel.h"
#include "database/StoreFinishedTest.h"
#include "database/central/CentralFailure.h"
#include "database/central/CentralSchema.h"
#include "database/central/CentralStore.h"
#include "database/ui/CentralSettingsDialog.h"
#include "database/ui/DbNavigator.h"
#include "database/ui/TForm10.h"
#include "database/ui/TForm9.h"
#include "tests/database/DatabaseFixture.h"
#include "tests/support/PrivatePgServer.h"
#include "tests/support/TestServices.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSysInfo>
#include <QToolButton>
#include <QUuid>

// The setting of a station whose examiner reaches the central tables on
// `host`, in the server's own empty database.
ServerSettings centralOn(const QString &host)
{
    return ServerSettings{host, 0, QStringLiteral("postgres"), QStringLiteral("examiner_1"), {}};
}

// The group window of a station with one local test, whose setting names
// the central database on `host`.
struct Station
{
    TestServices services;
    DatabaseFixture db;
    std::unique_ptr<TForm9> form;

    Station(const QString &folder, const QString &host)
    {
        centralOn(host).write(folder);
        StoreFinishedTest(db.con, finishedTest({0.5, 1.0}, QStringLiteral("LOKALNI")), ',');
        form = std::make_unique<TForm9>(db.con, services.prompts, DecimalComma, services.clock);
        form->setDataFolder(folder);
    }
    // Shows the central rows once they are there.
    void showCentral()
    {
        form->showCentral();
        QTRY_VERIFY(!form->isConnecting());
    }
};

class TestCentralWindow : public QObject
{
    Q_OBJECT

    PrivatePgServer m_server;
    QTemporaryDir m_folder; // the station's data folder

    QString psql(const QString &sql) const { return m_server.psql(sql); }

private Q_SLOTS:
    void initTestCase()
    {
        if (PrivatePgServer::binDir().isEmpty())
            QSKIP("PostgreSQL is not installed (/usr/lib/postgresql/*/bin): apt-get install postgresql");
        QString error;
        QVERIFY2(m_server.start(&error), qPrintable(error));
        PgConnection con(m_server.conninfo());
        CentralSchema::create(con);
        psql(QStringLiteral("CREATE ROLE examiner_1 LOGIN PASSWORD 'pw' IN ROLE kalvestrin_examiner"));
        m_server.addPassword(QStringLiteral("examiner_1"), QStringLiteral("pw"));
        for (const char *name : {"PRVI", "DRUGI"}) {
            const QString uuid = QUuid::createUuid().toString(QUuid::WithoutBraces);
            CentralStore::storeTests(con, {{uuid,
                                            {QLatin1String(name), QStringLiteral("B"), 30, 0, 2, 0.25, 0.5},
                                            {QStringLiteral("stanica-%1").arg(QLatin1String(name))},
                                            {}}});
        }
    }

    void switchShowsCentralRowsExportsAndEditsThroughTheAudit()
    {
        Station station(m_folder.path(), m_server.folder());
        TForm9 &form = *station.form;
        form.showCentral();
        QVERIFY(form.isConnecting());
        QTRY_VERIFY(!form.isConnecting());
        QVERIFY(!form.query().isLocal());
        QVERIFY(form.windowTitle().contains(QStringLiteral("središnja baza podataka postgres")));
        ResultsTableModel &model = form.model();
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.index(0, 1).data().toString(), QStringLiteral("PRVI"));
        QCOMPARE(model.index(1, 6).data().toString(), QStringLiteral("0,25"));

        const QString file = QDir(m_folder.path()).filePath(QStringLiteral("central.txt"));
        station.services.prompts.expectSaveFile(file, 13);
        form.Tool3Click();
        QFile text(file);
        QVERIFY(text.open(QIODevice::ReadOnly));
        QCOMPARE(text.readAll().count('\n'), 3);

        // A value typed on the central rows goes there, through the audit,
        // when the window switches away.
        QVERIFY(model.setData(model.index(0, 1), QStringLiteral("NOVI")));
        form.showLocal();
        QCOMPARE(psql(QStringLiteral("SELECT ColumnName, OldValue, NewValue, Station, EditedBy FROM DataEdits")),
                 QStringLiteral("name|PRVI|NOVI|%1|examiner_1").arg(QSysInfo::machineHostName()));
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.index(0, 1).data().toString(), QStringLiteral("LOKALNI"));
        QVERIFY(form.windowTitle().endsWith(QStringLiteral("podaci ove stanice")));
    }

    void sqlWindowOnCentralReadsOnly()
    {
        Station station(m_folder.path(), m_server.folder());
        TForm9 &form = *station.form;
        TForm10 sql(form, station.services.prompts, &form);
        station.showCentral();
        sql.FormShow();
        sql.memo()->setPlainText(QStringLiteral("select Name from data where M > 0.2 order by Name"));
        sql.Btn2Click();
        QCOMPARE(form.model().rowCount(), 2);
        // The examiner's right to edit does not reach through a typed statement.
        station.services.prompts.expectError(CentralFailure::describe(CentralFailure::Reason::ReadOnly, {}, {}));
        sql.memo()->setPlainText(QStringLiteral("select kalvestrin_edit(1, 'Name', 'X', 'y')"));
        sql.Btn2Click();
        QCOMPARE(form.query().sql(), QStringLiteral("select * from data;"));
        QCOMPARE(psql(QStringLiteral("SELECT count(*) FROM DataEdits WHERE NewValue = 'X'")), QStringLiteral("0"));
    }

    void serverAwayGivesTheMessageAndKeepsTheStation()
    {
        Station station(m_folder.path(), m_folder.filePath(QStringLiteral("nowhere")));
        TForm9 &form = *station.form;
        station.services.prompts.expectError(QStringLiteral("nije dostupan"));
        form.showCentral();
        QTRY_COMPARE(station.services.prompts.pending(), 0);
        QVERIFY(form.query().isLocal());
        QCOMPARE(form.model().rowCount(), 1);
        QCOMPARE(form.windowTitle(), QStringLiteral("Kalvestrin. Forma grupnih rezultata - podaci ove stanice"));
    }

    void lostServerIsReconnectedWhenChosenAgain()
    {
        Station station(m_folder.path(), m_server.folder());
        station.showCentral();
        m_server.stop(true);
        QVERIFY(m_server.restart());
        station.services.prompts.expectError(QStringLiteral("prekinuta"));
        station.form->navigator()->button(DbNavigator::Refresh)->click();
        station.showCentral();
        QCOMPARE(station.form->model().index(1, 1).data().toString(), QStringLiteral("DRUGI"));
    }

    void settingsDialogChecksAndWritesWithoutPassword()
    {
        TestServices services;
        QFile::remove(ServerSettings::iniPath(m_folder.path()));
        CentralSettingsDialog dialog(m_folder.path(), services.prompts);
        dialog.setSettings(centralOn(m_server.folder()));
        dialog.findChild<QLineEdit *>(QStringLiteral("User"))->setText(QStringLiteral("nepoznati"));
        services.prompts.expectError(QStringLiteral("(.pgpass)"));
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("ProvjeriVezu")), Qt::LeftButton);
        QTRY_COMPARE(services.prompts.pending(), 0);
        dialog.findChild<QLineEdit *>(QStringLiteral("User"))->setText(QStringLiteral("examiner_1"));
        services.prompts.expectInformation(CentralSettingsDialog::ConnectionFineText);
        dialog.checkClick();
        QTRY_COMPARE(services.prompts.pending(), 0);
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("OK")), Qt::LeftButton);
        QCOMPARE(ServerSettings::read(m_folder.path()).conninfo(), centralOn(m_server.folder()).conninfo());
        QFile ini(ServerSettings::iniPath(m_folder.path()));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(!ini.readAll().toLower().contains("pass"));
    }
};

KALVESTRIN_TEST_MAIN(TestCentralWindow)
#include "TestCentralWindow.moc"
