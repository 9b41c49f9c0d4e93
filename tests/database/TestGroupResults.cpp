// The group results window, the SQL query window and SaveToDatabase, driven
// as the examiner drives them.

#include "database/Query.h"
#include "database/ReadOnlyStatement.h"
#include "database/ResultsTableModel.h"
#include "database/SelectRule.h"
#include "database/StoreFinishedTest.h"
#include "database/ui/DatabaseConnection.h"
#include "database/ui/DatabaseResultSink.h"
#include "database/ui/DbNavigator.h"
#include "database/ui/TForm10.h"
#include "database/ui/TForm9.h"
#include "tests/database/DatabaseFixture.h"
#include "tests/support/FakeClock.h"
#include "tests/support/RecordingHelp.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TestServices.h"

#include <QApplication>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <sqlite3.h>

namespace {

int count(ResultsDatabase &con, const QString &where = {})
{
    ReadOnlyStatement s = prepareReadOnly(con, QStringLiteral("SELECT count(*) FROM Data ") + where);
    s.next();
    const int n = s.value(0).toInt();
    s.reset();
    return n;
}

struct Windows
{
    TestServices services;
    ScriptedPrompts &prompts = services.prompts;
    DatabaseFixture db;
    std::unique_ptr<TForm9> form9;
    TForm10 *form10 = nullptr;

    explicit Windows(int rows = 3)
    {
        for (int i = 0; i < rows; ++i)
            StoreFinishedTest(db.con, finishedTest({0.5, 1.0}, QStringLiteral("S%1").arg(i)), ',');
    }
    ~Windows() { form9.reset(); }
    void create()
    {
        form9 = std::make_unique<TForm9>(db.con, prompts, DecimalComma, services.clock);
        services.serve(form9.get());
        form10 = new TForm10(*form9, prompts, form9.get());
        form9->setSqlWindow(form10);
    }
    Query &query() { return form9->query(); }
    void run(const QString &text)
    {
        form10->memo()->setPlainText(text);
        QTest::mouseClick(form10->findChild<QPushButton *>(QStringLiteral("Btn2")), Qt::LeftButton);
    }
};

} // namespace

class TestGroupResults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void connectingPutsTheWorkingDirectoryInOrReports()
    {
        ScriptedPrompts prompts;
        QTemporaryDir dir;
        // "\\" is an ordinary character of a folder's name here.
        const QString folder = dir.filePath(QStringLiteral("a b;č\\d"));
        QVERIFY(QDir().mkpath(folder));
        ResultsSchema::createDatabase(folder + QStringLiteral("/Kalvestrin.mdb"));
        ResultsDatabase con;
        QVERIFY(DatabaseConnection::SetConnectionString(con, prompts, folder));
        QVERIFY(con.isOpen());
        StoreFinishedTest(con, finishedTest({0.5, 1.0}), ',');
        QCOMPARE(count(con), 1);

        // An empty file is no results database, and stays empty.
        QFile empty(dir.filePath(QStringLiteral("Kalvestrin.mdb")));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();
        prompts.expectError(DatabaseConnection::ConnectFailedText);
        QVERIFY(!DatabaseConnection::SetConnectionString(con, prompts, dir.path()));
        QVERIFY(!con.isOpen());
        QCOMPARE(empty.size(), 0);
    }

    void finishedTestsAreStoredWhateverTheGridShows()
    {
        Windows w;
        w.create();
        DatabaseResultSink sink(w.db.con, w.query(), w.prompts, DecimalComma);

        // Stored while the window is hidden: the current last row once it shows.
        sink.accept(finishedTest({2.0, 2.0}, QStringLiteral("NOVI"), QString(), QString()));
        QCOMPARE(count(w.db.con), 4);
        w.form9->showNormal();
        QCOMPARE(w.query().rowCount(), 4);
        QCOMPARE(w.query().currentRow(), 3);
        QCOMPARE(w.form9->model().data(w.form9->model().index(3, 1)).toString(), QStringLiteral("NOVI"));
        QCOMPARE(w.form9->grid()->currentIndex().row(), 3);
        // While it shows: at once.
        sink.accept(finishedTest({1.0, 2.0}, QStringLiteral("DRUGI")));
        QCOMPARE(w.query().currentRow(), 4);
        QCOMPARE(w.form9->grid()->currentIndex().row(), 4);

        // An analysis left in the grid, or a failed "Svi podaci", costs nothing.
        w.query().setSQL(QStringLiteral("select Name, avg(M) from data group by Name"));
        w.query().open();
        sink.accept(finishedTest({1.0, 1.0}, QStringLiteral("ANALIZA")));
        w.query().close();
        sink.accept(finishedTest({1.0, 1.0}, QStringLiteral("ZATVOREN")));
        QCOMPARE(count(w.db.con, QStringLiteral("WHERE Name IN ('ANALIZA', 'ZATVOREN')")), 2);
        QCOMPARE(w.query().rowCount(), 0);

        // A row the table refuses: the error, nothing stored.
        w.prompts.expectError(DatabaseResultSink::SaveFailedText);
        sink.accept(finishedTest({1.0, 1.0}, QString(41, QLatin1Char('X'))));
        QCOMPARE(count(w.db.con), 7);

        // Locked past the busy timeout: the error names the file and the
        // reason, the caller learns of it, and a later store lands once.
        QSignalSpy stored(&sink, &DatabaseResultSink::testStored);
        QSignalSpy failed(&sink, &DatabaseResultSink::storeFailed);
        SessionResult named = finishedTest({1.0, 1.0}, QStringLiteral("ZAKLJUČANO"));
        named.session.uuid = QUuid::createUuid();
        sqlite3 *other = nullptr;
        sqlite3_open(QFile::encodeName(w.db.path()).constData(), &other);
        sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        sqlite3_busy_timeout(w.db.con.handle(), 20);
        sink.setKeepsUnstoredTests(true);
        w.prompts.expectError(StoreFailure::describe(StoreFailure::Reason::Locked, w.db.path(), {}));
        QVERIFY(!sink.SaveToDatabase(named));
        sqlite3_close_v2(other);
        QVERIFY(w.prompts.records().last().text.endsWith(DatabaseResultSink::KeptText));
        QCOMPARE(failed.size(), 1);
        QCOMPARE(failed[0][0].value<QUuid>(), named.session.uuid);
        QVERIFY(sink.SaveToDatabase(named));
        QVERIFY(sink.SaveToDatabase(named));
        QCOMPARE(stored.size(), 2);
        QCOMPARE(stored[1][1], stored[0][1]);
        QCOMPARE(count(w.db.con, QStringLiteral("WHERE Name = 'ZAKLJUČANO'")), 1);

        // No connection: the warning, nothing stored.
        w.db.con.close();
        w.prompts.expectWarning(DatabaseResultSink::NotSavedText);
        sink.accept(finishedTest({1.0, 1.0}));
        QCOMPARE(w.prompts.pending(), 0);
    }

    void windowOpensOnTheLastRowAndLocks()
    {
        Windows w;
        StoreFinishedTest(w.db.con, finishedTest({1.0 / 3, 0.2, 0.1, 0.7}, QStringLiteral("DUGI")), ',');
        w.create();
        TForm9 &f = *w.form9;
        QCOMPARE(w.query().currentRow(), 3);
        QVERIFY(!f.isLocked());

        f.Lock();
        f.showNormal();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QCOMPARE(f.grid()->currentIndex().row(), 3);
        QVERIFY(f.tool(1)->isEnabled() && !f.tool(2)->isEnabled());
        QString shown;
        for (int b = 0; b < DbNavigator::ButtonCount; ++b)
            shown += f.navigator()->button(DbNavigator::Button(b))->isVisible() ? QLatin1Char('1') : QLatin1Char('0');
        QCOMPARE(shown, QStringLiteral("1111000001"));
        QVERIFY(!(f.model().flags(f.model().index(0, 1)) & Qt::ItemIsEditable));

        // Scores show whole: every column as wide as its widest value in view
        // (M, V and Items included), and the examiner may still drag it.
        const QHeaderView *header = f.grid()->horizontalHeader();
        for (const char *column : {"M", "V", "Items"}) {
            const int c = w.query().columnIndex(QString::fromLatin1(column));
            const QAbstractItemView *view = f.grid();
            QVERIFY2(header->sectionSize(c) >= view->sizeHintForColumn(c), column);
        }
        QCOMPARE(header->sectionResizeMode(0), QHeaderView::Interactive);

        // F1 opens the topic of the control; the help commands theirs.
        const RecordingHelp &help = w.services.help;
        f.grid()->setFocus();
        QTest::keyClick(f.grid(), Qt::Key_F1);
        f.navigator()->button(DbNavigator::Refresh)->setFocus();
        QTest::keyClick(f.navigator()->button(DbNavigator::Refresh), Qt::Key_F1);
        QTest::mouseClick(f.tool(6), Qt::LeftButton);
        w.form10->show();
        QTest::mouseClick(w.form10->findChild<QPushButton *>(QStringLiteral("Btn1")), Qt::LeftButton);
        w.form10->hide();
        QCOMPARE(help.topics, QStringList({"39", "-12", "28", "41"}));

        QTest::mouseClick(f.tool(1), Qt::LeftButton);
        QVERIFY(!f.isLocked() && !f.tool(1)->isEnabled() && f.tool(2)->isEnabled());
        QVERIFY(f.navigator()->button(DbNavigator::Insert)->isVisible());

        // W and H are the outer size, frame included.
        f.resize(QSize(1000, 700) - (f.frameGeometry().size() - f.size()));
        f.FormResize();
        QCOMPARE(f.grid()->geometry().height(), 537);
        QCOMPARE(f.navigator()->geometry(), QRect(350, 595, 300, 30));

        // "Svi podaci" undoes an analysis and lists every row in ID order.
        w.query().setSQL(QStringLiteral("select Name from data order by Name desc"));
        w.query().open();
        QTest::mouseClick(f.tool(5), Qt::LeftButton);
        QCOMPARE(w.query().sql(), QStringLiteral("SELECT * FROM DATA ORDER BY ID;"));
        QCOMPARE(w.query().rowId(0), 1);
        QCOMPARE(QApplication::focusWidget(), f.grid());
    }

    void creationWithoutTableOrConnection()
    {
        Windows w(0);
        w.db.con.executeScript(QStringLiteral("DROP TABLE Data;"));
        w.prompts.expectError(QStringLiteral("no such table"));
        w.create();
        QVERIFY(!w.query().isOpen());
        w.form9.reset();

        w.db.con.close();
        w.create();
        QVERIFY(!w.query().isOpen());
        QVERIFY(w.query().sql().isEmpty());
    }

    void gridEditsAreCheckedAndNeverLostSilently()
    {
        Windows w;
        w.create();
        TForm9 &f = *w.form9;
        f.showNormal();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.Tool1Click();
        QTableView *grid = f.grid();
        const int age = w.query().columnIndex(QStringLiteral("Age"));

        // A wrong value for the column: our message, nothing stored.
        w.prompts.expectError(QStringLiteral("Vrijednost \"abc\" nije ispravna za stupac Age."));
        QVERIFY(!f.model().setData(f.model().index(0, age), QStringLiteral("abc")));
        QCOMPARE(w.query().currentRow(), 0);

        // Typed into a cell, stored when the examiner leaves the row.
        grid->setCurrentIndex(f.model().index(0, age));
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_7);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("7"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(w.query().value(0, age).toInt(), 77);
        QCOMPARE(w.query().state(), Query::State::Edit);
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(w.query().currentRow(), 1);
        QCOMPARE(count(w.db.con, QStringLiteral("WHERE ID = 1 AND Age = 77")), 1);

        // Deleting asks first.
        w.prompts.expectQuestion(false, QStringLiteral("Želite li obrisati ovaj zapis?"));
        QTest::mouseClick(f.navigator()->button(DbNavigator::Delete), Qt::LeftButton);
        QCOMPARE(count(w.db.con), 3);
        w.prompts.expectQuestion(true, QStringLiteral("Želite li obrisati ovaj zapis?"));
        QTest::mouseClick(f.navigator()->button(DbNavigator::Delete), Qt::LeftButton);
        QCOMPARE(count(w.db.con), 2);

        // A row that cannot be stored keeps the window open and the row in edit.
        w.query().first();
        w.query().setValue(QStringLiteral("Name"), QStringLiteral("IZGUBLJEN?"));
        w.db.con.execute(QStringLiteral("DELETE FROM Data WHERE ID = 1"));
        w.prompts.expectError(QStringLiteral("Zapis više ne postoji"));
        f.reject();
        QVERIFY(f.isVisible());
        QCOMPARE(w.query().state(), Query::State::Edit);
        w.prompts.expectError(QStringLiteral("Zapis više ne postoji"));
        QTest::mouseClick(f.tool(2), Qt::LeftButton);
        QVERIFY(!f.isLocked());
        w.query().cancel();
        f.reject();
        QVERIFY(!f.isVisible());

        // A result not straight from Data: no editing buttons.
        w.query().setSQL(QStringLiteral("select Name, Age from data"));
        w.query().open();
        QVERIFY(!f.navigator()->button(DbNavigator::Insert)->isEnabled());
        QVERIFY(!f.navigator()->button(DbNavigator::Edit)->isEnabled());
    }

    void exportWritesTheFormatOfTheChosenEntry_data()
    {
        QTest::addColumn<int>("entry"); // 0-based, as the chooser answers
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray ole2("\xD0\xCF\x11\xE0", 4);
        QTest::newRow("Access") << 0 << "izvoz.mdb" << 0 << QByteArray("SQLite format 3");
        QTest::newRow("Excel 3.0") << 1 << "e3.xls" << 0 << QByteArray("\x09\x02", 2);
        QTest::newRow("Excel 4.0") << 2 << "e4.xls" << 0 << QByteArray("\x09\x04", 2);
        QTest::newRow("Excel 5.0") << 3 << "e5.xls" << 0 << ole2;
        QTest::newRow("Excel 97") << 4 << "e8.xls" << 0 << ole2;
        QTest::newRow("WK1") << 5 << "l.wk1" << 4 << QByteArray("\x06\x04", 2);
        QTest::newRow("WK3") << 6 << "l.wk3" << 4 << QByteArray("\x00\x10", 2);
        QTest::newRow("dBase III") << 7 << "d3.dbf" << 0 << QByteArray("\x03", 1);
        QTest::newRow("dBase IV") << 8 << "d4.dbf" << 0 << QByteArray("\x03", 1);
        QTest::newRow("dBase 5") << 9 << "d5.dbf" << 0 << QByteArray("\x05", 1);
        QTest::newRow("Paradox 3.x") << 10 << "p3.db" << 0x39 << QByteArray("\x03", 1);
        QTest::newRow("Paradox 4.x") << 11 << "p4.db" << 0x39 << QByteArray("\x09", 1);
        QTest::newRow("Paradox 5.x") << 12 << "p5.db" << 0x39 << QByteArray("\x0B", 1);
        QTest::newRow("Text") << 13 << "t.txt" << 0 << QByteArray("\"ID\",");
        QTest::newRow("HTML") << 14 << "h.htm" << 0 << QByteArray("<");
        QTest::newRow("XML") << 15 << "x.xml" << 0 << QByteArray("<");
        QTest::newRow("Excel 2007+") << 16 << "a.xlsx" << 0 << QByteArray("PK\x03\x04");
        QTest::newRow("SPSS") << 17 << "s.sav" << 0 << QByteArray("$FL2");
        QTest::newRow("Stata") << 18 << "s.dta" << 0 << QByteArray("<stata_dta>");
        // The window's decimal comma gives the separator ";".
        QTest::newRow("CSV UTF-8") << 19 << "c.csv" << 0 << QByteArray("\xEF\xBB\xBFID;Name;Surname;Age;Gender;N;");
        QTest::newRow("presentations, CSV UTF-8")
            << 23 << "p.csv" << 0 << QByteArray("\xEF\xBB\xBFID;Name;Surname;Age;Gender;Field1;");
    }
    void exportWritesTheFormatOfTheChosenEntry()
    {
        QFETCH(int, entry);
        QFETCH(QString, file);
        QFETCH(int, offset);
        QFETCH(QByteArray, bytes);
        Windows w;
        w.create();
        const QString target = w.db.dir.filePath(file);
        if (entry == 0) // Access adds its table to a database that exists
            QVERIFY(QFile(target).open(QIODevice::WriteOnly));
        w.prompts.expectSaveFile(target, entry);
        w.form9->tool(3)->click();
        const ScriptedPrompts::Record &asked = w.prompts.records().constLast();
        QCOMPARE(asked.request.selectedFilter, 4);
        QCOMPARE(asked.request.fileName, QStringLiteral("Data"));
        QVERIFY(!asked.request.confirmOverwrite);
        QFile written(target);
        QCOMPARE(written.open(QIODevice::ReadOnly) ? written.readAll().mid(offset, bytes.size()) : QByteArray(), bytes);

        // The next export starts at the entry confirmed last; a cancel changes nothing.
        w.prompts.expectSaveFile(QString());
        w.form9->tool(3)->click();
        QCOMPARE(w.prompts.records().constLast().request.selectedFilter, entry);
    }

    void sqlWindowRunsOnlySelects_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message"); // empty: it runs
        QTest::addColumn<QString>("shownSql");
        QTest::addColumn<int>("columns");
        const QString opening = QStringLiteral("select * from data;");
        const QString wrong = ReadOnlyStatement::RefusedText();
        QTest::newRow("blanks and line break") << "   SELECT Name, Age FROM Data WHERE Age > 30\n"
                                               << QString() << "SELECT Name, Age FROM Data WHERE Age > 30" << 2;
        // Not even a select: the grid keeps the examiner's last statement.
        const QString last = QStringLiteral("select Name from data");
        QTest::newRow("delete") << "delete from data" << SelectRule::NotSelectText << last << 1;
        QTest::newRow("short") << "sel" << SelectRule::NotSelectText << last << 1;
        QTest::newRow("select then delete") << "select 1; delete from data" << wrong << opening << 12;
        QTest::newRow("selectx") << "selectx * from data" << wrong << opening << 12;
    }
    void sqlWindowRunsOnlySelects()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        Windows w;
        w.create();
        w.form9->showNormal();
        w.form10->show();
        QCOMPARE(w.form10->memo()->toPlainText(), QStringLiteral("select * from data;"));
        QCOMPARE(w.form10->previousSql(), QStringLiteral("select * from data;"));
        // A statement the engine refuses brings back the one of the window's
        // opening, not the examiner's last.
        w.run(QStringLiteral("select Name from data"));
        if (!message.isEmpty())
            w.prompts.expectError(message);
        w.run(typed);
        QCOMPARE(w.form10->memo()->toPlainText(), SelectRule::trimmed(typed));
        QTEST(w.query().sql(), "shownSql");
        QTEST(w.form9->model().columnCount(), "columns");
        QCOMPARE(count(w.db.con), 3);
        QVERIFY(w.form10->isVisible());
        QCOMPARE(w.form9->focusWidget(), w.form9->grid());
    }

    void sqlWindowStopsARunawayStatement_data()
    {
        QTest::addColumn<bool>("escape"); // or "Prekini"
        QTest::newRow("Prekini") << false;
        QTest::newRow("Esc") << true;
    }
    void sqlWindowStopsARunawayStatement()
    {
        QFETCH(bool, escape);
        Windows w;
        w.create();
        w.form9->showNormal();
        w.form10->show();
        auto *stop = w.form10->findChild<QPushButton *>(QStringLiteral("Btn3"));
        QVERIFY(!stop->isVisible());
        // Pressed while the endless statement runs: the window answers meanwhile.
        QTimer::singleShot(0, w.form10, [&] {
            QVERIFY(w.form10->isRunning() && stop->isVisible());
            if (escape)
                QTest::keyClick(w.form10, Qt::Key_Escape);
            else
                QTest::mouseClick(stop, Qt::LeftButton);
        });
        w.run(QStringLiteral(
            "select count(*) from (with recursive c(x) as (select 1 union all select x + 1 from c) select x from c)"));
        QVERIFY(!w.form10->isRunning());
        QVERIFY(w.form10->isVisible() && !stop->isVisible());
        QCOMPARE(w.query().sql(), QStringLiteral("select * from data;"));
        QCOMPARE(w.form9->model().columnCount(), 12);
        w.form10->hide();
    }
};

KALVESTRIN_TEST_MAIN(TestGroupResults)
#include "TestGroupResults.moc"
