// Export for today's analysis tools (.xlsx, SPSS, Stata, CSV UTF-8) the whole
// way, reading, checking, writing and renaming: the 100,000 rows of Data, and
// the 2,000,000 presentations of 50,000 tests of 40 tasks (Excel: 1,040,000).
//
//   build/bench/kalvestrin-bench-analysis
// puts its database in $KALVESTRIN_BENCH_DIR (default: the system's temporary
// folder) and prints the time of one export.

#include "common/Clock.h"
#include "database/ConnectionString.h"
#include "database/ResultsDatabase.h"
#include "database/ResultsSchema.h"
#include "database/export/ExportQuery.h"
#include "database/export/PresentationExport.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sqlite3.h>

namespace {

constexpr int Rows = 100000;
constexpr int Tested = 50000; // the first rows of Data, each with its presentations
constexpr int Tasks = 40;

void exec(sqlite3 *db, const char *sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        std::abort();
}

void fill(const QString &path)
{
    ResultsSchema::createDatabase(path);
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    exec(db, "BEGIN");
    sqlite3_stmt *data = nullptr, *session = nullptr, *shown = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO Data VALUES (NULL,?,'ŠIMUNOVIĆ-ĐURĐEVIĆ',?,?,40,?,?,?,'Zagreb','grupa B','')",
                       -1, &data, nullptr);
    sqlite3_prepare_v2(
        db, "INSERT INTO Sessions (UUID, DataID) VALUES (printf('%08d-0000-4000-8000-000000000000', ?1), ?1)", -1,
        &session, nullptr);
    sqlite3_prepare_v2(db,
                       "INSERT INTO Presentations VALUES (printf('%08d-0000-4000-8000-000000000000', ?1), ?2, ?2, 3,"
                       " 4, ?3, ?4, ?5, 'Y', 'kuća', 'DA')",
                       -1, &shown, nullptr);
    const QByteArray items = QByteArray("0,25000;1,00000;2,00000;0,75000;").repeated(10);
    for (int i = 1; i <= Rows; ++i) {
        const QByteArray name = QStringLiteral("IVANA ČAVLOVIĆ %1").arg(i % 977).toUtf8();
        sqlite3_bind_text(data, 1, name.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(data, 2, 18 + i % 60);
        sqlite3_bind_int(data, 3, i % 2);
        sqlite3_bind_double(data, 4, 0.5 + (i % 1000) / 997.0);
        sqlite3_bind_double(data, 5, (i % 311) / 7.0);
        sqlite3_bind_text(data, 6, items.constData(), int(items.size()), SQLITE_STATIC);
        sqlite3_step(data);
        sqlite3_reset(data);
        if (i > Tested)
            continue;
        sqlite3_bind_int(session, 1, i);
        sqlite3_step(session);
        sqlite3_reset(session);
        for (int t = 1; t <= Tasks; ++t) {
            sqlite3_bind_int(shown, 1, i);
            sqlite3_bind_int(shown, 2, t);
            sqlite3_bind_double(shown, 3, 1.0 / (t + i % 7));
            sqlite3_bind_double(shown, 4, t * 3017.125);
            sqlite3_bind_double(shown, 5, t * 3017.125 + 812.5);
            sqlite3_step(shown);
            sqlite3_reset(shown);
        }
    }
    sqlite3_finalize(data);
    sqlite3_finalize(session);
    sqlite3_finalize(shown);
    exec(db, "COMMIT");
    sqlite3_close(db);
}

struct Fixture
{
    QTemporaryDir dir{qEnvironmentVariable("KALVESTRIN_BENCH_DIR", QDir::tempPath()) +
                      QStringLiteral("/kalvestrin-bench-XXXXXX")};
    ResultsDatabase con;
    Fixture()
    {
        const QString path = dir.filePath(QStringLiteral("Kalvestrin.mdb"));
        fill(path);
        con.setConnectionString(ConnectionString::forFile(path));
        con.open();
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

void BM_AnalysisExport(benchmark::State &state, ExportFormat format, bool presentations)
{
    Fixture &f = fixture();
    const QString path = f.dir.filePath(QStringLiteral("izvoz.") + QLatin1String(exportFormatInfo(format)->extension));
    // Excel 2007+ holds 1,048,575 rows under its header: 26,000 tests of 40 tasks.
    const QString grid = presentations && format == efXlsx ? QStringLiteral("SELECT * FROM DATA WHERE ID <= 26000")
                                                           : QStringLiteral("SELECT * FROM DATA ORDER BY ID;");
    const SystemClock clock;
    int written = 0;
    for (auto _ : state) {
        written = presentations ? ExportPresentations(&f.con, grid, path, format, clock)
                                : ExportQuery(&f.con, grid, path, format, QStringLiteral("Data"), clock);
    }
    state.counters["rows"] = written;
    state.counters["MB"] = double(QFileInfo(path).size()) / 1e6;
}

} // namespace

BENCHMARK_CAPTURE(BM_AnalysisExport, Data_efXlsx, efXlsx, false)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_AnalysisExport, Data_efSpss, efSpss, false)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_AnalysisExport, Data_efStata, efStata, false)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_AnalysisExport, Data_efCsvUtf8, efCsvUtf8, false)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_AnalysisExport, Presentations_efXlsx, efXlsx, true)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_AnalysisExport, Presentations_efSpss, efSpss, true)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_AnalysisExport, Presentations_efStata, efStata, true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_AnalysisExport, Presentations_efCsvUtf8, efCsvUtf8, true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

BENCHMARK_MAIN();
