// The central database on a private PostgreSQL server (fsync on, Unix
// socket): sending one finished test of 40 tasks, sending a backlog of
// 10,000, the first page of Data holding 1,000,000 rows, and exporting
// 100,000 central rows. Prints its figures; needs Debian's postgresql.
//
//   build/bench/kalvestrin-bench-central

#include "common/Clock.h"
#include "database/central/CentralQuery.h"
#include "database/central/CentralSchema.h"
#include "database/central/CentralSender.h"
#include "database/central/CentralStore.h"
#include "database/export/ExportQuery.h"
#include "tests/support/PrivatePgServer.h"
#include "tests/support/StationFolder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

double ms(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// This process's CPU time (the server's is not in it).
double cpuMs()
{
    return 1000.0 * double(std::clock()) / CLOCKS_PER_SEC;
}

void sendOneTest(const QString &dir, const QString &conninfo)
{
    makeStationFolder(dir, QStringLiteral("one"), 0);
    ResultsDatabase local;
    local.setConnectionString(ConnectionString::forFile(dir + QStringLiteral("/Kalvestrin.mdb")));
    local.open();
    PgConnection server(conninfo);
    CentralSender::sendPending(local, server);
    std::vector<double> times;
    for (int i = 0; i < 100; ++i) {
        local.close();
        QFile::remove(dir + QStringLiteral("/Kalvestrin.mdb"));
        makeStationFolder(dir, QStringLiteral("one%1-").arg(i), 1);
        local.open();
        QElapsedTimer timer;
        timer.start();
        CentralSender::sendPending(local, server);
        times.push_back(ms(timer));
    }
    std::sort(times.begin(), times.end());
    std::printf("send one test of 40 tasks (read, server commit, marked sent): median %.2f ms, 95th %.2f ms\n",
                times[50], times[95]);
}

void sendBacklog(const QString &dir, const QString &conninfo)
{
    makeStationFolder(dir, QStringLiteral("backlog"), 10000);
    QElapsedTimer timer;
    timer.start();
    const double cpu = cpuMs();
    const int sent = CentralSender::sendPending(dir + QStringLiteral("/Kalvestrin.mdb"), conninfo);
    std::printf("backlog: %d tests in %.0f ms (station CPU %.0f ms), %.0f tests/s\n", sent, ms(timer), cpuMs() - cpu,
                sent / (ms(timer) / 1000));
}

void firstPage(PgConnection &con)
{
    con.execScript(QStringLiteral(
        "INSERT INTO Data (Name, Surname, Age, Gender, N, M, V, Items, Field1, Field2, Field3) SELECT 'IVANA ' || i, "
        "'ŠIMUNOVIĆ', 18 + i % 60, i % 2 = 0, 40, 0.5 + (i % 1000) / 997.0, (i % 311) / 7.0, "
        "repeat('0.25000;1.00000;', 20), 'Zagreb', 'grupa B', '' FROM generate_series(1, 1000000 - (SELECT "
        "count(*) FROM Data)) AS i"));
    con.execScript(QStringLiteral("VACUUM ANALYZE Data"));
    QElapsedTimer timer;
    timer.start();
    const qint64 count = CentralStore::dataCount(con);
    const std::size_t rows = CentralStore::dataPage(con, 0, 100).size();
    std::printf("group window on %lld rows: count and first page of %zu rows %.1f ms", count, rows, ms(timer));
    timer.restart();
    CentralStore::dataPage(con, 900000, 100);
    std::printf(", a page at row 900,000 %.1f ms\n", ms(timer));
}

void exportRows(PgConnection &con, ExportFormat format, int rows, const QString &path)
{
    const QString statement = QStringLiteral("SELECT * FROM Data ORDER BY ID LIMIT %1").arg(rows);
    QElapsedTimer timer;
    timer.start();
    const double cpu = cpuMs();
    const auto transaction = CentralQuery::begin(con, statement);
    ExportData data = CentralQuery::exportData(con, statement, QStringLiteral("Data"));
    data.writtenAt = QDateTime::currentDateTime();
    ExportFiles files;
    makeExporter(format)->write(data, path, files);
    files.commit();
    std::printf("export %s: %zu rows %.0f ms (CPU %.0f ms)\n", exportFormatInfo(format)->name, data.rows.size(),
                ms(timer), cpuMs() - cpu);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    PrivatePgServer server;
    QString error;
    if (!server.start(&error, true)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    server.psql(QStringLiteral("CREATE DATABASE kalvestrin"));
    const QString conninfo = server.conninfo(QStringLiteral("postgres"), QStringLiteral("kalvestrin"));
    PgConnection con(conninfo);
    CentralSchema::create(con);
    QTemporaryDir dir;
    sendOneTest(dir.filePath(QStringLiteral("one")), conninfo);
    sendBacklog(dir.filePath(QStringLiteral("backlog")), conninfo);
    firstPage(con);
    exportRows(con, efText, 100000, dir.filePath(QStringLiteral("izvoz.txt")));
    exportRows(con, efExcel8, 65535, dir.filePath(QStringLiteral("izvoz.xls")));
    return 0;
}
