// The results database at 100,000 stored tests of 40 tasks, on disk:
// storing one more test (with the grid's update), opening the group results
// window on its last row and showing it, and reading the grid from top to
// bottom through the bounded cache.
//
//   build/bench/kalvestrin-bench-database
// puts its database in $KALVESTRIN_BENCH_DIR (default: the system's
// temporary folder; it must not be tmpfs for the figures to mean anything)
// and prints the median time of one operation as `median_ms`.

#include "common/Clock.h"
#include "common/ui/Prompts.h"
#include "database/Query.h"
#include "database/ResultsDatabase.h"
#include "database/ResultsSchema.h"
#include "database/ResultsTableModel.h"
#include "database/StoredTest.h"
#include "database/ui/DatabaseResultSink.h"
#include "database/ui/TForm9.h"
#include "tests/database/DatabaseFixture.h"

#include <QApplication>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

constexpr int Rows = 100000;
constexpr int Tasks = 40;

// Any box during a benchmark is a failure of the benchmark.
class NoPrompts : public Prompts
{
public:
    void warning(const QString &t) override { fail(t); }
    void error(const QString &t) override { fail(t); }
    void information(const QString &t) override { fail(t); }
    bool question(const QString &t) override { return fail(t), false; }
    int choose(const QString &t, const QStringList &) override { return fail(t), -1; }
    QString openFile(FileDialogRequest &) override { return fail(QStringLiteral("chooser")), QString(); }
    QString saveFile(FileDialogRequest &) override { return fail(QStringLiteral("chooser")), QString(); }
    std::optional<Colour> chooseColour(Colour) override { return fail(QStringLiteral("colour")), std::nullopt; }

private:
    static void fail(const QString &text)
    {
        std::fprintf(stderr, "unexpected prompt: %s\n", text.toUtf8().constData());
        std::abort();
    }
};

SessionResult testOf(int i)
{
    QList<double> efficiencies;
    for (int t = 0; t < Tasks; ++t)
        efficiencies << ((i + t) % 7 == 0 ? 2.0 : double((i * 31 + t * 17) % 1000 + 1) / 1000.0);
    return finishedTest(efficiencies, QStringLiteral("ISPITANIK %1").arg(i), QString::number(18 + i % 60),
                        i % 2 ? QStringLiteral("Muški") : QStringLiteral("Ženski"));
}

struct Database
{
    std::unique_ptr<QTemporaryDir> dir;
    ResultsDatabase con;

    Database()
    {
        const QByteArray base = qgetenv("KALVESTRIN_BENCH_DIR");
        dir = std::make_unique<QTemporaryDir>((base.isEmpty() ? QDir::tempPath() : QString::fromLocal8Bit(base)) +
                                              QStringLiteral("/kalvestrin-XXXXXX"));
        ResultsSchema::createDatabase(dir->filePath(QStringLiteral("Kalvestrin.mdb")));
        openIn(con, dir->path());
        ResultsDatabase::Transaction transaction(con);
        for (int i = 0; i < Rows; ++i) {
            con.execute(QStringLiteral("INSERT INTO Data (Name, Surname, Age, Gender, N, M, V, Items, Field1, Field2, "
                                       "Field3) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)"),
                        StoredTest::values(testOf(i), QLatin1Char(',')));
        }
        transaction.commit();
    }
};

Database &database()
{
    static Database db;
    return db;
}

void ensureApplication()
{
    if (qApp)
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "kalvestrin-bench-database";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

using Clock = std::chrono::steady_clock;

void BM_SaveToDatabase(benchmark::State &state)
{
    ensureApplication();
    Database &db = database();
    NoPrompts prompts;
    Query query(db.con);
    query.setSQL(QStringLiteral("select * from data;"));
    query.open();
    query.last();
    // 0: the grid hidden, as during a test (it reads the new row when next
    // shown); 1: the grid showing, updated at once.
    const bool shown = state.range(0) != 0;
    query.setDeferUpdates(!shown);
    DatabaseResultSink sink(db.con, query, prompts, QLatin1Char(','));
    std::vector<double> times;
    int i = Rows;
    for (auto _ : state) {
        const SessionResult result = testOf(i++);
        const auto t0 = Clock::now();
        sink.SaveToDatabase(result);
        const double s = std::chrono::duration<double>(Clock::now() - t0).count();
        times.push_back(s);
        state.SetIterationTime(s);
        if (shown && query.currentRow() != query.rowCount() - 1)
            state.SkipWithError("the stored test is not the current last row");
    }
    query.setDeferUpdates(false);
    if (query.rowId(query.currentRow()) != db.con.lastInsertId())
        state.SkipWithError("the last stored test is not current once shown");
    state.counters["median_ms"] = median(times) * 1000;
}
BENCHMARK(BM_SaveToDatabase)
    ->ArgName("gridShown")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(100);

void BM_OpenGroupResults(benchmark::State &state)
{
    ensureApplication();
    Database &db = database();
    NoPrompts prompts;
    const SystemClock systemClock;
    std::vector<double> times;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        TForm9 form(db.con, prompts, QLatin1Char(','), systemClock);
        form.Lock();
        form.show();
        const QPixmap shown = form.grab();
        benchmark::DoNotOptimize(shown.cacheKey());
        const double s = std::chrono::duration<double>(Clock::now() - t0).count();
        times.push_back(s);
        state.SetIterationTime(s);
        if (form.grid()->currentIndex().row() != form.query().rowCount() - 1)
            state.SkipWithError("not on the last row");
    }
    state.counters["median_ms"] = median(times) * 1000;
}
BENCHMARK(BM_OpenGroupResults)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_ScrollGroupResults(benchmark::State &state)
{
    ensureApplication();
    Database &db = database();
    Query query(db.con);
    query.setSQL(QStringLiteral("select * from data;"));
    query.open();
    ResultsTableModel model(query, QLatin1Char(','));
    std::vector<double> times;
    int maxCached = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const int rows = model.rowCount();
        const int columns = model.columnCount();
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c)
                benchmark::DoNotOptimize(model.data(model.index(r, c)));
            maxCached = std::max(maxCached, query.cachedRowCount());
        }
        const double s = std::chrono::duration<double>(Clock::now() - t0).count();
        times.push_back(s);
        state.SetIterationTime(s);
    }
    state.counters["median_ms"] = median(times) * 1000;
    state.counters["max_cached_rows"] = maxCached;
}
BENCHMARK(BM_ScrollGroupResults)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

BENCHMARK_MAIN();
