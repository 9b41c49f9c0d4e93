// Storing a finished test whole and once, and a results database that is
// locked, moved, absent, read-only or full at that moment.

#include "common/Version.h"
#include "database/StoreFailure.h"
#include "database/StoreFinishedTest.h"
#include "tests/database/DatabaseFixture.h"

#include <QTest>

#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <functional>

namespace {

// Rows of Data, Sessions and Presentations.
QList<int> counts(ResultsDatabase &con)
{
    QList<int> n;
    for (const char *table : {"Data", "Sessions", "Presentations"})
        n << firstRow(con, QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(table)))[0].toInt();
    return n;
}

SessionResult namedTest(int presentations, int answerLength = 4)
{
    SessionResult r = finishedTest({0.25, 2.0});
    r.independentMode = true;
    r.modeText = QStringLiteral("Samostalan");
    SessionInfo &s = r.session;
    s.uuid = QUuid::createUuid();
    s.station = QStringLiteral("lab-3");
    s.designPath = QStringLiteral("/podaci/primjer.txt");
    s.designSha256 = QByteArray(64, 'c');
    s.startedUtc = QDateTime(QDate(2026, 12, 7), QTime(1, 2, 3, 456), Qt::UTC);
    s.finishedUtc = s.startedUtc.addSecs(300);
    s.screenSize = QSize(1920, 1080);
    s.devicePixelRatio = 1.25;
    s.refreshRate = 59.94;
    s.compositor = SessionInfo::Compositor::No;
    for (int i = 0; i < presentations; ++i)
        r.presentations.append(
            {i % 2, i, 8, i * 1'000'000LL, -1, {}, 0.5, QString(answerLength, QLatin1Char('a')), {}});
    return r;
}

// Where the test may mount: a tmpfs in a mount namespace of this process
// alone, so it goes when the process goes.
bool privateMounts()
{
    static const bool available = ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0 &&
                                  ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    return available;
}

bool mountTmpfs(const QString &dir)
{
    return ::mount("tmpfs", QFile::encodeName(dir).constData(), "tmpfs", 0, "size=2m") == 0;
}

// While it lives, a process run by root works as nobody in `dir`.
struct Unprivileged
{
    explicit Unprivileged(const QString &dir)
        : active(!dir.isEmpty() && ::geteuid() == 0)
    {
        if (active) {
            QFile::setPermissions(dir, QFileDevice::Permissions(0x7777));
            active = ::setegid(65534) == 0 && ::seteuid(65534) == 0;
        }
    }
    ~Unprivileged()
    {
        if (active && ::seteuid(0) == 0)
            ::setegid(0);
    }
    bool active;
};

// Fills the file system of `dir` to the last byte.
void fill(const QString &dir)
{
    QFile filler(dir + QStringLiteral("/filler"));
    QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size()) {
    }
}

} // namespace

class TestStoreFinishedTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void finishedTestIsStoredWholeAndOnce()
    {
        DatabaseFixture db;
        const SessionResult test = namedTest(3);
        const qint64 id = StoreFinishedTest(db.con, test, QLatin1Char(','));
        QCOMPARE(StoreFinishedTest(db.con, test, QLatin1Char(',')), id);
        QCOMPARE(counts(db.con), (QList<int>{1, 1, 3}));
        const QString uuid = test.session.uuid.toString(QUuid::WithoutBraces);
        QCOMPARE(firstRow(db.con, QStringLiteral("SELECT * FROM Sessions")),
                 (QVariantList{uuid, QString::number(id), "lab-3", "/podaci/primjer.txt", QString(64, QLatin1Char('c')),
                               "2026-12-07T01:02:03.456Z", "2026-12-07T01:07:03.456Z", KALVESTRIN_VERSION, "1920",
                               "1080", "1.25", "Samostalan", "59.94", "0"}));

        // A row the database refuses can never be stored: nothing of it is.
        SessionResult badAge = namedTest(2);
        badAge.subject.Age = QStringLiteral("3x");
        try {
            StoreFinishedTest(db.con, badAge, QLatin1Char(','));
            QFAIL("stored");
        } catch (const StoreFailure &failure) {
            QVERIFY(!failure.canSucceedLater());
        }
        QCOMPARE(counts(db.con), (QList<int>{1, 1, 3}));
    }

    void failedStoreLeavesNothingAndALaterOneStoresOnce_data()
    {
        QTest::addColumn<QString>("condition");
        QTest::addColumn<StoreFailure::Reason>("reason");
        QTest::newRow("locked") << "locked" << StoreFailure::Reason::Locked;
        QTest::newRow("moved away") << "moved" << StoreFailure::Reason::Missing;
        QTest::newRow("absent at start") << "absent" << StoreFailure::Reason::Missing;
        QTest::newRow("read-only") << "read-only" << StoreFailure::Reason::ReadOnly;
        QTest::newRow("full") << "full" << StoreFailure::Reason::Full;
    }
    void failedStoreLeavesNothingAndALaterOneStoresOnce()
    {
        QFETCH(QString, condition);
        QFETCH(StoreFailure::Reason, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Kalvestrin.mdb"));
        const bool full = condition == QLatin1String("full");
        const bool ownFileSystem = full && privateMounts() && mountTmpfs(dir.path());
        // Root writes any file: the read-only file is tried as nobody.
        const Unprivileged nobody(condition == QLatin1String("read-only") ? dir.path() : QString());
        if (condition == QLatin1String("read-only") && ::geteuid() == 0)
            QSKIP("root writes any file and may not act as nobody here");
        ResultsDatabase con;
        if (condition != QLatin1String("absent")) {
            ResultsSchema::createDatabase(path);
            openIn(con, dir.path());
            StoreFinishedTest(con, namedTest(2), QLatin1Char(','));
        }
        const QList<int> before = con.isOpen() ? counts(con) : QList<int>{0, 0, 0};
        const SessionResult test = namedTest(full ? 2000 : 5, full ? 200 : 4);

        std::function<void()> lift;
        if (condition == QLatin1String("locked")) {
            sqlite3 *other = nullptr;
            sqlite3_open(QFile::encodeName(path).constData(), &other);
            sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
            sqlite3_busy_timeout(con.handle(), 50);
            lift = [other] { sqlite3_close_v2(other); };
        } else if (condition == QLatin1String("moved")) {
            QVERIFY(QFile::rename(path, path + QStringLiteral(".x")));
            lift = [path] { QFile::rename(path + QStringLiteral(".x"), path); };
        } else if (condition == QLatin1String("absent")) {
            con.setConnectionString(connectionFor(dir.path()));
            lift = [&] {
                ResultsSchema::createDatabase(path);
                con.open();
            };
        } else if (condition == QLatin1String("read-only")) {
            con.close();
            QFile::setPermissions(path, QFile::ReadOwner);
            QVERIFY_THROWS_EXCEPTION(Failure, con.open()); // the program cannot connect
            lift = [&] {
                QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
                con.open();
            };
        } else if (ownFileSystem) {
            fill(dir.path());
            lift = [&] { QFile::remove(dir.filePath(QStringLiteral("filler"))); };
        } else {
            // No file system of our own: a file size limit stands in for it.
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit old{};
            ::getrlimit(RLIMIT_FSIZE, &old);
            rlimit limit = old;
            limit.rlim_cur = rlim_t(QFileInfo(path + QStringLiteral("-wal")).size() + 65536);
            ::setrlimit(RLIMIT_FSIZE, &limit);
            lift = [old] { ::setrlimit(RLIMIT_FSIZE, &old); };
        }

        try {
            StoreFinishedTest(con, test, QLatin1Char(','));
            lift();
            QFAIL("stored");
        } catch (const StoreFailure &failure) {
            lift();
            QCOMPARE(failure.reason(), reason);
            QVERIFY(failure.text().startsWith(StoreFailure::SaveFailedText));
            QVERIFY2(failure.reasonText().contains(path), qPrintable(failure.reasonText()));
            QVERIFY(failure.canSucceedLater());
        }
        QCOMPARE(counts(con), before);
        qint64 id = -1;
        QVERIFY_THROWS_NO_EXCEPTION(id = StoreFinishedTest(con, test, QLatin1Char(',')));
        QCOMPARE(StoreFinishedTest(con, test, QLatin1Char(',')), id);
        QCOMPARE(counts(con), (QList<int>{before[0] + 1, before[1] + 1, before[2] + int(test.presentations.size())}));
        con.close();
        if (ownFileSystem)
            ::umount2(QFile::encodeName(dir.path()).constData(), MNT_DETACH);
    }
};

QTEST_GUILESS_MAIN(TestStoreFinishedTest)
#include "TestStoreFinishedTest.moc"
