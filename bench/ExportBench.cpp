// Export of 100,000 results rows to each file format, the whole way: reading
// the statement's rows, checking, writing and renaming into place.
//
//   build/bench/kalvestrin-bench --benchmark_filter=BM_Export

#include "common/Clock.h"
#include "database/ConnectionString.h"
#include "database/ResultsDatabase.h"
#include "database/export/ExportQuery.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sqlite3.h>

namespace {

constexpr int Rows = 100000;

// A results database as a year of testing leaves it: Croatian names, a long
// Items text of 8 characters per task, an empty age now and then.
sqlite3 *benchmarkDatabase(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_exec(db,
                 "CREATE TABLE Data (ID INTEGER PRIMARY KEY AUTOINCREMENT, Name VARCHAR(40), Surname VARCHAR(40), "
                 "Age INTEGER, Gender BOOLEAN, N INTEGER, M DOUBLE, V DOUBLE, Items TEXT, Field1 VARCHAR(100), "
                 "Field2 VARCHAR(100), Field3 VARCHAR(100));"
                 "BEGIN;",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO Data VALUES (NULL,?,?,?,?,?,?,?,?,?,?,?)", -1, &insert, nullptr);
    const QByteArray items = QByteArray("0,25000;1,00000;2,00000;0,75000;").repeated(10);
    for (int i = 0; i < Rows; ++i) {
        const QByteArray name = QStringLiteral("IVANA ČAVLOVIĆ %1").arg(i % 977).toUtf8();
        sqlite3_bind_text(insert, 1, name.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, "ŠIMUNOVIĆ-ĐURĐEVIĆ", -1, SQLITE_STATIC);
        if (i % 13 == 0)
            sqlite3_bind_null(insert, 3);
        else
            sqlite3_bind_int(insert, 3, 18 + i % 60);
        sqlite3_bind_int(insert, 4, i % 2);
        sqlite3_bind_int(insert, 5, 40);
        sqlite3_bind_double(insert, 6, 0.5 + (i % 1000) / 997.0);
        sqlite3_bind_double(insert, 7, (i % 311) / 7.0);
        sqlite3_bind_text(insert, 8, items.constData(), int(items.size()), SQLITE_STATIC);
        sqlite3_bind_text(insert, 9, "Zagreb", -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 10, "grupa B", -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 11, "", -1, SQLITE_STATIC);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    return db;
}

struct Fixture
{
    QTemporaryDir dir;
    ResultsDatabase con;
    Fixture()
    {
        const QString path = dir.filePath(QStringLiteral("Kalvestrin.mdb"));
        sqlite3_close(benchmarkDatabase(path));
        con.setConnectionString(ConnectionString::forFile(path));
        con.open();
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

void BM_Export(benchmark::State &state, ExportFormat format, const char *file,
               const char *statement = "SELECT * FROM DATA ORDER BY ID;\r\n")
{
    Fixture &f = fixture();
    const QString path = f.dir.filePath(QString::fromLatin1(file));
    int written = 0;
    const SystemClock clock;
    for (auto _ : state) {
        if (format == efAccess) {
            // A new table each time: the target gets a fresh empty database.
            state.PauseTiming();
            QFile::remove(path);
            sqlite3 *target = nullptr;
            sqlite3_open(path.toUtf8().constData(), &target);
            sqlite3_close(target);
            state.ResumeTiming();
        }
        written = ExportQuery(&f.con, QString::fromLatin1(statement), path, format, QStringLiteral("Data"), clock);
    }
    state.counters["rows"] = written;
    state.counters["rows_per_s"] =
        benchmark::Counter(double(written) * double(state.iterations()), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK_CAPTURE(BM_Export, efAccess, efAccess, "izvoz.mdb")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_Export, efDBase3, efDBase3, "izvoz3.dbf")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_Export, efDBase4, efDBase4, "izvoz4.dbf")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_Export, efDBase5, efDBase5, "izvoz5.dbf")->Unit(benchmark::kMillisecond)->Iterations(3);
// Paradox 3.x has no memo fields: the columns it takes.
BENCHMARK_CAPTURE(BM_Export, efParadox3, efParadox3, "izvoz3.db",
                  "SELECT ID, Name, Surname, Age, Gender, N, M, V, Field1, Field2, Field3 FROM Data ORDER BY ID")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_Export, efParadox4, efParadox4, "izvoz4.db")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_Export, efParadox5, efParadox5, "izvoz5.db")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_Export, efText, efText, "izvoz.txt")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_Export, efHTML, efHTML, "izvoz.htm")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_Export, efXML, efXML, "izvoz.xml")->Unit(benchmark::kMillisecond)->Iterations(3);
