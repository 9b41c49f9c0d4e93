// Individual results at the largest design (1000 tasks): composing and
// reading the archive line, building what the window shows, loading and
// showing a file in the window offscreen, and printing the table (22 pages)
// and the chart into PDF files.
//
//   build/bench/kalvestrin-bench --benchmark_filter='Archive|Sheet|Results'

#include "common/Clock.h"
#include "common/Regional.h"
#include "common/ui/Prompts.h"
#include "results/ArchiveFile.h"
#include "results/ResultSheet.h"
#include "results/ui/PdfPrintTarget.h"
#include "results/ui/TRezultati.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

SessionResult thousandTasks()
{
    SessionResult r;
    r.subject.Surname = QStringLiteral("IVIĆ");
    r.subject.Name = QStringLiteral("ANA");
    r.subject.GenderText = QStringLiteral("Ženski");
    r.testDate = QDate(2026, 12, 6);
    r.duration = 0.01;
    r.stimulusCount = 1000;
    for (int i = 0; i < 1000; ++i) {
        const double e = i % 7 == 0 ? 2.0 : (i % 97) / 97.0;
        r.tasks.append({QStringLiteral("ŽABA%1").arg(i), e != 2.0, e});
        r.mean += e / 1000.0L;
        r.unrecognisedCount += e == 2.0;
    }
    r.variance = 0.3L;
    return r;
}

Regional comma()
{
    Regional r;
    r.decimalSeparator = QLatin1Char(',');
    return r;
}

// The window needs an application; created once, offscreen.
void ensureApplication()
{
    if (QApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "kalvestrin-bench";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

class FilePrompts : public Prompts
{
public:
    QString file;
    void warning(const QString &) override {}
    void error(const QString &) override {}
    void information(const QString &) override {}
    bool question(const QString &) override { return false; }
    int choose(const QString &, const QStringList &) override { return -1; }
    QString openFile(FileDialogRequest &) override { return file; }
    QString saveFile(FileDialogRequest &) override { return {}; }
    std::optional<Colour> chooseColour(Colour) override { return std::nullopt; }
};

void BM_ComposeArchive1000(benchmark::State &state)
{
    const SessionResult r = thousandTasks();
    const Regional regional = comma();
    for (auto _ : state)
        benchmark::DoNotOptimize(ComposeArchiveText(r, regional));
}
BENCHMARK(BM_ComposeArchive1000)->Unit(benchmark::kMillisecond);

void BM_ReadArchive1000(benchmark::State &state)
{
    const QString text = ComposeArchiveText(thousandTasks(), comma());
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadArchive(text, QLatin1Char('.')).taskCount);
}
BENCHMARK(BM_ReadArchive1000)->Unit(benchmark::kMillisecond);

// A file of the given size in megabytes, nearly all of it in long labels:
// reading must stay linear in the size.
void BM_ReadArchiveLarge(benchmark::State &state)
{
    SessionResult r = thousandTasks();
    for (TaskResult &t : r.tasks)
        t.label = QString(int(state.range(0)) * 1000, u'x');
    const QString text = ComposeArchiveText(r, comma());
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadArchive(text, QLatin1Char('.')).taskCount);
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_ReadArchiveLarge)->Arg(4)->Arg(40)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_Sheet1000(benchmark::State &state)
{
    const SessionResult r = thousandTasks();
    const Regional regional = comma();
    for (auto _ : state)
        benchmark::DoNotOptimize(ResultSheet::fromResult(r, regional).cells.size());
}
BENCHMARK(BM_Sheet1000)->Unit(benchmark::kMillisecond);

struct Window
{
    QTemporaryDir dir;
    FilePrompts prompts;
    SystemClock clock;
    Regional regional = comma();
    std::unique_ptr<TRezultati> w;

    Window()
    {
        ensureApplication();
        prompts.file = dir.filePath(QStringLiteral("ivic.txt"));
        SaveArchiveFile(prompts.file, ComposeArchiveText(thousandTasks(), comma()));
        w = std::make_unique<TRezultati>(prompts, clock, regional, dir.path());
        w->setWindowState(Qt::WindowNoState);
        w->resize(1280, 1024);
        w->Tool1Click();
    }
};

void BM_ResultsLoadAndShow1000(benchmark::State &state)
{
    Window win;
    for (auto _ : state)
        win.w->Tool1Click();
}
BENCHMARK(BM_ResultsLoadAndShow1000)->Unit(benchmark::kMillisecond);

void BM_ResultsPrintTable1000(benchmark::State &state)
{
    Window win;
    win.w->setPrintTarget(std::make_unique<PdfPrintTarget>(win.dir.filePath(QStringLiteral("tablica.pdf"))));
    for (auto _ : state)
        win.w->Tool3Click();
}
BENCHMARK(BM_ResultsPrintTable1000)->Unit(benchmark::kMillisecond);

void BM_ResultsPrintChart1000(benchmark::State &state)
{
    Window win;
    win.w->setPrintTarget(std::make_unique<PdfPrintTarget>(win.dir.filePath(QStringLiteral("graf.pdf"))));
    for (auto _ : state)
        win.w->Tool4Click();
}
BENCHMARK(BM_ResultsPrintChart1000)->Unit(benchmark::kMillisecond);

} // namespace
