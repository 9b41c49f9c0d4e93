// The results database engine: connection, schema, stored tests, the
// read-only statement rule, the result set and the grid's model.

#include "common/Failure.h"
#include "common/SafeFile.h"
#include "database/Query.h"
#include "database/ReadOnlyStatement.h"
#include "database/ResultsTableModel.h"
#include "database/SelectRule.h"
#include "database/SessionSchema.h"
#include "database/Statement.h"
#include "database/StoreFinishedTest.h"
#include "database/StoredTest.h"
#include "tests/database/DatabaseFixture.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

#include <sqlite3.h>

#include <unistd.h>

namespace {

void addRows(ResultsDatabase &con, int n)
{
    ResultsDatabase::Transaction t(con);
    for (int i = 0; i < n; ++i)
        con.execute(QStringLiteral("INSERT INTO Data (Name, N, M) VALUES (?1, 2, ?2)"),
                    {QStringLiteral("S%1").arg(i), i / 8.0});
    t.commit();
}

} // namespace

class TestDatabase : public QObject
{
    Q_OBJECT

private Q_SLOTS:

    void connectionDescriptionKeepsItsPropertiesAndTakesTheFolder_data()
    {
        QTest::addColumn<QString>("directory");
        QTest::newRow("windows") << QStringLiteral("D:\\Tests");
        QTest::newRow("blanks, semicolon, quotes, Croatian, backslash")
            << QStringLiteral("/tmp/a b;c=\"d\" 'e' čćžšđ\\f");
    }
    void connectionDescriptionKeepsItsPropertiesAndTakesTheFolder()
    {
        QFETCH(QString, directory);
        const ConnectionString stored = ConnectionString::parse(ConnectionString::stored());
        QCOMPARE(stored.text(), ConnectionString::stored());

        ConnectionString adapted = stored;
        adapted.putDirectory(directory);
        const ConnectionString reread = ConnectionString::parse(adapted.text());
        QCOMPARE(reread.properties().size(), stored.properties().size());
        for (const auto &[key, value] : stored.properties())
            QVERIFY(key == QLatin1String("Data Source") || reread.value(key) == value);
        QCOMPARE(reread.value(QStringLiteral("Data Source")), directory + QDir::separator() + "Kalvestrin.mdb");
        QVERIFY_THROWS_EXCEPTION(Failure, ConnectionString::parse(QStringLiteral("Data Source=\"x;Mode=1")));
    }

    void openingRefusesWhatIsNotOurDatabaseAndChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("content"); // SQL for an SQLite file, bytes otherwise
        QTest::newRow("absent") << QByteArray();
        QTest::newRow("empty file") << QByteArray("");
        QTest::newRow("access file") << QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 19).repeated(300);
        QTest::newRow("another table") << QByteArray("SQL:CREATE TABLE Other (ID INTEGER);");
        QTest::newRow("column missing") << QByteArray("SQL:CREATE TABLE Data (ID INTEGER PRIMARY KEY, Name TEXT);");
        QTest::newRow("read-only") << QByteArray("read-only");
    }
    void openingRefusesWhatIsNotOurDatabaseAndChangesNothing()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Kalvestrin.mdb"));
        if (content == "read-only") {
            if (::geteuid() == 0)
                QSKIP("root writes any file");
            ResultsSchema::createDatabase(path);
            QFile::setPermissions(path, QFile::ReadOwner);
        } else if (content.startsWith("SQL:")) {
            sqlite3 *db = nullptr;
            QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
            QCOMPARE(sqlite3_exec(db, content.mid(4).constData(), nullptr, nullptr, nullptr), SQLITE_OK);
            sqlite3_close(db);
        } else if (!content.isNull()) {
            writeFileAtomically(path, content);
        }
        const bool existed = QFile::exists(path);
        QByteArray bytes;
        if (QFile f(path); f.open(QIODevice::ReadOnly))
            bytes = f.readAll();

        ResultsDatabase con;
        con.setConnectionString(connectionFor(dir.path()));
        QString text;
        try {
            con.open();
        } catch (const Failure &failure) {
            text = failure.text();
        }
        // Said in our words, naming the file.
        QVERIFY2(text.contains(QLatin1Char('"') + path + QLatin1Char('"')), qPrintable(text));
        QVERIFY(!con.isOpen());
        QCOMPARE(QFile::exists(path), existed);
        if (QFile f(path); f.open(QIODevice::ReadOnly))
            QCOMPARE(f.readAll(), bytes);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), existed ? 1 : 0);
    }

    void openedDatabaseIsDurableAndShared()
    {
        QTemporaryDir dir;
        const QString sub = dir.filePath(QStringLiteral("radni dir; čž"));
        QVERIFY(QDir().mkpath(sub));
        ResultsSchema::createDatabase(sub + QStringLiteral("/Kalvestrin.mdb"));
        QVERIFY_THROWS_EXCEPTION(Failure, ResultsSchema::createDatabase(sub + QStringLiteral("/Kalvestrin.mdb")));
        ResultsDatabase con;
        openIn(con, sub);
        QCOMPARE(scalar(con, QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
        QCOMPARE(scalar(con, QStringLiteral("PRAGMA synchronous")).toInt(), 2);
        QCOMPARE(scalar(con, QStringLiteral("PRAGMA busy_timeout")).toInt(), ResultsDatabase::BusyTimeoutMs);
    }

    void earlierDatabaseGetsTheNewTablesAndKeepsItsData()
    {
        QTemporaryDir dir;
        const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("Kalvestrin.mdb")));
        sqlite3 *other = nullptr;
        sqlite3_open(path.constData(), &other);
        const QString script =
            ResultsSchema::createTableSql() + QStringLiteral("INSERT INTO Data (Name, N) VALUES ('STARI', 2);");
        QCOMPARE(sqlite3_exec(other, script.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(other);

        ResultsDatabase con;
        openIn(con, dir.path());
        QCOMPARE(scalar(con, QStringLiteral("PRAGMA user_version")).toInt(), SessionSchema::Version);
        QCOMPARE(scalar(con, QStringLiteral("SELECT group_concat(ID || Name || N) FROM Data")).toString(), "1STARI2");
        QCOMPARE(scalar(con, QStringLiteral("SELECT count(*) FROM Sessions, Presentations")).toInt(), 0);

        // Once up to date, opening takes no write lock: another writer does not hold it up.
        con.close();
        sqlite3_open(path.constData(), &other);
        sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        openIn(con, dir.path());
        sqlite3_close_v2(other);
    }

    void schemaRefusesValuesColumnsCannotTake_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("age text") << "Age" << QVariant(QStringLiteral("abc"));
        QTest::newRow("age real") << "Age" << QVariant(3.5);
        QTest::newRow("gender 2") << "Gender" << QVariant(2);
        QTest::newRow("name 41") << "Name" << QVariant(QString(41, QLatin1Char('A')));
        QTest::newRow("field 101") << "Field3" << QVariant(QString(101, QLatin1Char('x')));
        QTest::newRow("M text") << "M" << QVariant(QStringLiteral("0,5"));
        QTest::newRow("N real") << "N" << QVariant(2.5);
    }
    void schemaRefusesValuesColumnsCannotTake()
    {
        QFETCH(QString, column);
        QFETCH(QVariant, value);
        DatabaseFixture db;
        QVERIFY_THROWS_EXCEPTION(
            Failure, db.con.execute(QStringLiteral("INSERT INTO Data (%1) VALUES (?1)").arg(column), {value}));
        QCOMPARE(scalar(db.con, QStringLiteral("SELECT count(*) FROM Data")).toInt(), 0);
    }

    void deletedLastIdIsNeverReused()
    {
        DatabaseFixture db;
        addRows(db.con, 3);
        db.con.execute(QStringLiteral("DELETE FROM Data WHERE ID = 3"));
        addRows(db.con, 1);
        QCOMPARE(scalar(db.con, QStringLiteral("SELECT max(ID) FROM Data")).toInt(), 4);
    }

    void finishedTestBecomesOneRow_data()
    {
        QTest::addColumn<QList<double>>("efficiencies");
        QTest::addColumn<QString>("age");
        QTest::addColumn<QString>("gender");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariantList>("expected"); // Name, Age, Gender, N, M, V, Items
        QTest::newRow("two unrecognised, no age, empty gender")
            << QList<double>{2.0, 2.0} << QString() << QString() << QStringLiteral("ANA")
            << QVariantList{
                   QStringLiteral("ANA"), QVariant(), QVariant(), 2, 2.0, 0.0, QStringLiteral("2,00000;2,00000;")};
        const double mean = double((0.25L + 1 + 2) / 3);
        QTest::newRow("worked example, male")
            << QList<double>{0.25, 1.0, 2.0} << QStringLiteral("41") << QStringLiteral("Muški")
            << QStringLiteral("O'BRIEN")
            << QVariantList{QStringLiteral("O'BRIEN"), 41, 1, 3, mean, 0.0, QStringLiteral("0,25000;1,00000;2,00000;")};
        QTest::newRow("injection stored as typed")
            << QList<double>{0.5, 0.5} << QStringLiteral("7") << QStringLiteral("Ženski")
            << QStringLiteral("X'); DROP TABLE Data;--")
            << QVariantList{QStringLiteral("X'); DROP TABLE Data;--"), 7, 0, 2, 0.5, 0.0,
                            QStringLiteral("0,50000;0,50000;")};
    }
    void finishedTestBecomesOneRow()
    {
        QFETCH(QList<double>, efficiencies);
        QFETCH(QString, age);
        QFETCH(QString, gender);
        QFETCH(QString, name);
        QFETCH(QVariantList, expected);
        DatabaseFixture db;
        const SessionResult result = finishedTest(efficiencies, name, age, gender);
        const qint64 id = StoreFinishedTest(db.con, result, QLatin1Char(','));
        ReadOnlyStatement row = prepareReadOnly(
            db.con, QStringLiteral("SELECT Name, Age, Gender, N, M, V, Items, Surname, Field1, ID FROM Data"));
        QVERIFY(row.next());
        const QVariantList v = row.values();
        QVERIFY(!row.next());
        for (int c : {0, 6})
            QCOMPARE(v[c].toString(), expected[c].toString());
        for (int c : {1, 2, 3})
            QCOMPARE(v[c].isValid() ? v[c].toLongLong() : -1, expected[c].isValid() ? expected[c].toLongLong() : -1);
        if (efficiencies.size() == 3)
            QCOMPARE(v[5].toDouble(), double(result.variance)); // as computed, never recomputed
        else
            QCOMPARE(v[5].toDouble(), expected[5].toDouble());
        QCOMPARE(v[4].toDouble(), expected[4].toDouble());
        QCOMPARE(v[7].toString(), QStringLiteral("KOVAČ"));
        QCOMPARE(v[8].toString(), QStringLiteral("grupa A"));
        QCOMPARE(v[9].toLongLong(), id);
    }

    void onlyOneReadOnlyStatementRuns_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("runs");
        QTest::newRow("select") << "select * from data;" << true;
        QTest::newRow("trailing blanks and comments") << "SELECT Name FROM Data ; -- x\n /* y */ ;\n" << true;
        QTest::newRow("comment before semicolon") << "select Name from data -- c\n;" << true;
        QTest::newRow("second statement") << "select 1; delete from data" << false;
        QTest::newRow("delete") << "delete from data" << false;
        QTest::newRow("writing cte") << "with x as (select 1) insert into data(N) select 1 from x" << false;
        QTest::newRow("parameter") << "select * from data where ID = ?" << false;
        QTest::newRow("begin") << "begin" << false;
        QTest::newRow("only comment") << "-- nothing" << false;
        QTest::newRow("syntax") << "selectx * from data" << false;
        QTest::newRow("missing table") << "select * from nothing" << false;
        QTest::newRow("tables of presentations") << "select count(*) from Sessions join Presentations" << true;
        QTest::newRow("recursive") << "with recursive c(x) as (select 1 union all select x + 1 from c limit 3) "
                                      "select x from c"
                                   << true;
        QTest::newRow("describing pragma") << "select name from pragma_table_info('Data')" << true;
        QTest::newRow("writing pragma") << "select * from pragma_optimize" << false;
        QTest::newRow("address revealing function") << "select fts3_tokenizer('simple')" << false;
    }
    void onlyOneReadOnlyStatementRuns()
    {
        QFETCH(QString, text);
        QFETCH(bool, runs);
        DatabaseFixture db;
        addRows(db.con, 2);
        // With an index, "PRAGMA optimize" would analyse and write sqlite_stat1.
        db.con.executeScript(QStringLiteral("CREATE INDEX ByName ON Data (Name);"));
        const QVariant schema = scalar(db.con, QStringLiteral("SELECT group_concat(name) FROM sqlite_schema"));
        if (runs) {
            ReadOnlyStatement s = prepareReadOnly(db.con, text);
            QVERIFY(s.next());
            QVERIFY(!s.sql().endsWith(QLatin1Char(';')));
        } else {
            QVERIFY_THROWS_EXCEPTION(Failure, {
                ReadOnlyStatement s = prepareReadOnly(db.con, text);
                while (s.next()) {
                }
            });
        }
        QCOMPARE(scalar(db.con, QStringLiteral("SELECT count(*) FROM Data")).toInt(), 2);
        QCOMPARE(scalar(db.con, QStringLiteral("SELECT group_concat(name) FROM sqlite_schema")), schema);
    }

    void onlyPlainResultsOfDataAreUpdatable_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("updatable");
        QTest::newRow("all") << "select * from data;" << true;
        QTest::newRow("some with ID, filtered") << "select ID, Name from Data where N = 2 order by Name" << true;
        QTest::newRow("no ID") << "select Name, Age from data" << false;
        QTest::newRow("aggregate") << "select Name, avg(M) from data group by Name" << false;
        QTest::newRow("column twice") << "select ID, Name, Name from data" << false;
        QTest::newRow("join") << "select a.ID, b.Name from data a join data b on a.ID = b.ID" << false;
        QTest::newRow("subquery") << "select * from data where N >= (select avg(N) from data)" << false;
        QTest::newRow("expression") << "select ID, N + 1 from data" << false;
    }
    void onlyPlainResultsOfDataAreUpdatable()
    {
        QFETCH(QString, sql);
        QFETCH(bool, updatable);
        DatabaseFixture db;
        addRows(db.con, 3);
        Query query(db.con);
        query.setSQL(sql);
        query.open();
        QCOMPARE(query.isUpdatable(), updatable);
        if (!updatable) {
            QVERIFY_THROWS_EXCEPTION(Failure, query.append());
            QVERIFY_THROWS_EXCEPTION(Failure, query.setValue(0, 1));
            QVERIFY_THROWS_EXCEPTION(Failure, query.remove());
            QCOMPARE(scalar(db.con, QStringLiteral("SELECT count(*) FROM Data")).toInt(), 3);
        }
    }

    void scrollingKeepsTheCacheBoundedAndNoReadOpen()
    {
        DatabaseFixture db;
        const int n = Query::PageSize * Query::MaxCachedPages * 2 + 17;
        addRows(db.con, n);
        Query query(db.con);
        query.setSQL(QStringLiteral("select * from data order by ID desc;"));
        query.open();
        QCOMPARE(query.rowCount(), n);
        for (int row = 0; row < n; ++row) {
            QCOMPARE(query.value(row, 1).toString(), QStringLiteral("S%1").arg(n - 1 - row));
            QVERIFY(query.cachedRowCount() <= Query::PageSize * Query::MaxCachedPages);
        }
        // Between reads no statement is running: another connection can write
        // and checkpoint at once.
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(db.path()).constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "INSERT INTO Data (N) VALUES (5); PRAGMA wal_checkpoint(TRUNCATE);", nullptr,
                              nullptr, nullptr),
                 SQLITE_OK);
        int logFrames = -1, done = -1;
        QCOMPARE(sqlite3_wal_checkpoint_v2(other, nullptr, SQLITE_CHECKPOINT_TRUNCATE, &logFrames, &done), SQLITE_OK);
        sqlite3_close(other);
    }

    void editsGoToDataByIdAndFailuresKeepTheRow()
    {
        DatabaseFixture db;
        addRows(db.con, 3);
        Query query(db.con);
        query.setSQL(QStringLiteral("select * from data"));
        query.open();
        query.last();
        QCOMPARE(query.rowId(query.currentRow()), 3);

        // Delete the last row, then insert: the new row gets a fresh ID and becomes current.
        query.remove();
        QCOMPARE(query.rowCount(), 2);
        query.append();
        QCOMPARE(query.state(), Query::State::Insert);
        QCOMPARE(query.rowCount(), 3);
        query.setValue(QStringLiteral("Name"), QStringLiteral("NOVI"));
        query.setValue(QStringLiteral("Age"), 12);
        query.post();
        QCOMPARE(query.state(), Query::State::Browse);
        QCOMPARE(query.rowId(query.currentRow()), 4);
        QCOMPARE(query.value(query.currentRow(), 1).toString(), QStringLiteral("NOVI"));

        // A value the table refuses keeps the row in edit with what was typed.
        query.first();
        query.setValue(QStringLiteral("Age"), QStringLiteral("abc"));
        QVERIFY_THROWS_EXCEPTION(Failure, query.post());
        QCOMPARE(query.state(), Query::State::Edit);
        QCOMPARE(query.value(0, 3).toString(), QStringLiteral("abc"));
        QVERIFY_THROWS_EXCEPTION(Failure, query.next());
        QCOMPARE(query.currentRow(), 0);
        query.setValue(QStringLiteral("Age"), 44);
        query.next(); // leaving the row posts it
        QCOMPARE(query.currentRow(), 1);
        QCOMPARE(scalar(db.con, QStringLiteral("SELECT Age FROM Data WHERE ID = 1")).toInt(), 44);

        // Cancel leaves nothing behind.
        query.append();
        query.setValue(QStringLiteral("Name"), QStringLiteral("NE"));
        query.cancel();
        QCOMPARE(scalar(db.con, QStringLiteral("SELECT count(*) FROM Data")).toInt(), 3);
        QCOMPARE(query.rowCount(), 3);

        // A row added behind the query's back is shown and current.
        const qint64 id = StoreFinishedTest(db.con, finishedTest({1, 2}), ',');
        query.rowAdded(id);
        QCOMPARE(query.rowCount(), 4);
        QCOMPARE(query.rowId(query.currentRow()), id);
    }

    void postWaitsForAnotherWriter()
    {
        DatabaseFixture db;
        addRows(db.con, 1);
        Query query(db.con);
        query.setSQL(QStringLiteral("select * from data"));
        query.open();
        // Another program holds the write lock. Our busy handler stands in for
        // the waiting: it gives up at once, or lets the other writer finish.
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(db.path()).constData(), &other), SQLITE_OK);
        const auto closeOther = qScopeGuard([other] { sqlite3_close(other); });
        QCOMPARE(sqlite3_exec(other, "BEGIN IMMEDIATE; INSERT INTO Data (N) VALUES (9);", nullptr, nullptr, nullptr),
                 SQLITE_OK);
        sqlite3_busy_handler(
            db.con.handle(), [](void *, int) { return 0; }, nullptr);
        query.setValue(QStringLiteral("Name"), QStringLiteral("ČEKA"));
        try {
            query.post();
            QFAIL("stored past another writer's lock");
        } catch (const Failure &failure) {
            QVERIFY2(failure.text().startsWith(QStringLiteral("Baza podataka \"%1\" je zauzeta").arg(db.path())),
                     qPrintable(failure.text()));
        }
        QCOMPARE(query.state(), Query::State::Edit);

        sqlite3_busy_handler(
            db.con.handle(),
            [](void *writer, int) {
                return sqlite3_exec(static_cast<sqlite3 *>(writer), "COMMIT;", nullptr, nullptr, nullptr) == SQLITE_OK
                           ? 1
                           : 0;
            },
            other);
        query.post();
        QCOMPARE(scalar(db.con, QStringLiteral("SELECT Name FROM Data WHERE ID = 1")).toString(),
                 QStringLiteral("ČEKA"));
        QCOMPARE(query.rowCount(), 2);
        QCOMPARE(query.currentRow(), 0);
    }

    void modelShowsAndParsesByColumnType_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char *name, const char *column, const QString &typed, bool accepted,
                            const char *shown) {
            QTest::newRow(name) << QString::fromLatin1(column) << typed << accepted << QString::fromLatin1(shown);
        };
        row("age", "Age", " 33 ", true, "33");
        row("age text", "Age", "abc", false, "");
        row("age empty", "Age", "", true, "");
        row("double comma", "M", "0,375", true, "0,375");
        row("double point", "M", "0.375", false, "0,125");
        row("gender", "Gender", "true", true, "True");
        row("gender 0", "Gender", "0", true, "False");
        row("gender other", "Gender", "da", false, "");
        row("name too long", "Name", QString(41, 'A'), false, "S1");
    }
    void modelShowsAndParsesByColumnType()
    {
        QFETCH(QString, column);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        DatabaseFixture db;
        addRows(db.con, 2);
        Query query(db.con);
        query.setSQL(QStringLiteral("select * from data"));
        query.open();
        ResultsTableModel model(query, DecimalComma);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy failed(&model, &ResultsTableModel::editFailed);
        const QModelIndex cell = model.index(1, query.columnIndex(column));
        QCOMPARE(model.setData(cell, typed), accepted);
        QCOMPARE(failed.size(), accepted ? 0 : 1);
        if (!accepted)
            QVERIFY(failed[0][0].toString().startsWith(QStringLiteral("Vrijednost \"%1\"").arg(typed)));
        query.postPending();
        QTEST(model.data(cell).toString(), "shown");
        QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable)); // ID
        model.setReadOnly(true);
        QVERIFY(!(model.flags(cell) & Qt::ItemIsEditable));

        // The model follows the query through appends, deletes and reopening.
        model.setReadOnly(false);
        query.append();
        query.cancel();
        query.last();
        query.remove();
        query.setSQL(QStringLiteral("select Name, avg(M) from data group by Name"));
        query.open();
        QCOMPARE(model.columnCount(), 2);
        QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));
    }
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "TestDatabase.moc"
