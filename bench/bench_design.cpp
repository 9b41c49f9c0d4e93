// The design dialog's costs that an examiner feels: closing it over a full
// design (picture headers only, against decoding every picture in full),
// opening it over 1000 tasks, loading a 1000-task design file through it, and
// inserting and removing one stimulus in a full list.
//
//   QT_QPA_PLATFORM=offscreen build/bench/kalvestrin-bench-design
// `vs_full_decode` is the closing checks' time over the time of decoding the
// same 1000 pictures.

#include "common/Bitmap.h"
#include "common/DataFolder.h"
#include "common/ui/Prompts.h"
#include "design/ClosingChecks.h"
#include "design/DesignFile.h"
#include "design/TestDesign.h"
#include "design/ui/TPagesDlg.h"
#include "design/ui/TasksPage.h"

#include <QApplication>
#include <QImage>
#include <QListWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

// Answers every chooser with one path and every question with Yes.
class FixedPrompts : public Prompts
{
public:
    QString path;
    void warning(const QString &) override {}
    void error(const QString &) override {}
    void information(const QString &) override {}
    bool question(const QString &) override { return true; }
    int choose(const QString &, const QStringList &) override { return -1; }
    QString openFile(FileDialogRequest &) override { return path; }
    QString saveFile(FileDialogRequest &) override { return path; }
    std::optional<Colour> chooseColour(Colour initial) override { return initial; }
};

QTemporaryDir &folder()
{
    static QTemporaryDir dir;
    return dir;
}

// 1000 tasks over 20 distinct 1920x1080 bitmaps, every task answered.
TestDesign fullDesign()
{
    static QStringList pictures;
    if (pictures.isEmpty()) {
        for (int i = 0; i < 20; ++i) {
            QImage image(1920, 1080, QImage::Format_RGB32);
            image.fill(qRgb(i * 10, 255 - i * 10, 128));
            const QString path = folder().filePath(QStringLiteral("picture%1.bmp").arg(i));
            saveBmp24(image, path);
            pictures << path;
        }
    }
    TestDesign design;
    for (int t = 0; t < TestDesign::MaxTasks; ++t) {
        design.stimuli << pictures[t % 20];
        design.solutions[std::size_t(t)][0] = QStringLiteral("ODGOVOR%1").arg(t);
    }
    design.testingMode = TestingMode::Independent;
    return design;
}

const TestWindowMetrics FullHd{QSize(1920, 1200), 30};

void BM_ClosingChecks1000(benchmark::State &state)
{
    const TestDesign design = fullDesign();
    using Clock = std::chrono::steady_clock;
    const auto t0 = Clock::now();
    for (const QString &path : design.stimuli)
        benchmark::DoNotOptimize(loadPicture(path).constBits());
    const double decodeSeconds = std::chrono::duration<double>(Clock::now() - t0).count();

    double checkSeconds = 0;
    for (auto _ : state) {
        const auto t1 = Clock::now();
        const QList<ClosingMessage> messages = ClosingChecks::check(design, FullHd);
        benchmark::DoNotOptimize(messages.size());
        checkSeconds += std::chrono::duration<double>(Clock::now() - t1).count();
    }
    state.counters["vs_full_decode"] = checkSeconds / double(state.iterations()) / decodeSeconds;
}
BENCHMARK(BM_ClosingChecks1000)->Unit(benchmark::kMillisecond);

// The first opening builds every row; later openings find them in place.
void BM_OpenDialog1000(benchmark::State &state)
{
    const bool first = state.range(0) != 0;
    TestDesign design = fullDesign();
    FixedPrompts prompts;
    std::unique_ptr<TPagesDlg> kept;
    if (!first)
        kept = std::make_unique<TPagesDlg>(design, prompts, CapsLock(), DataFolder::current());
    for (auto _ : state) {
        std::unique_ptr<TPagesDlg> fresh;
        if (first)
            fresh = std::make_unique<TPagesDlg>(design, prompts, CapsLock(), DataFolder::current());
        TPagesDlg &dlg = first ? *fresh : *kept;
        dlg.show();
        QApplication::processEvents();
        state.PauseTiming();
        dlg.hide();
        fresh.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenDialog1000)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// "Učitaj nacrt" of a 1000-task file: reading it and showing it in every page.
void BM_LoadThroughDialog1000(benchmark::State &state)
{
    FixedPrompts prompts;
    prompts.path = folder().filePath(QStringLiteral("full.txt"));
    SaveDesignFile(fullDesign(), prompts.path);
    TestDesign design;
    TPagesDlg dlg(design, prompts, CapsLock(), DataFolder::current());
    dlg.show();
    QApplication::processEvents();
    for (auto _ : state) {
        state.PauseTiming();
        design.stimuli.clear();
        dlg.refresh();
        state.ResumeTiming();
        dlg.tasksPage()->Item3Click();
    }
}
BENCHMARK(BM_LoadThroughDialog1000)->Unit(benchmark::kMillisecond);

// One stimulus in and out of a list of 999: no rebuilding of the list.
void BM_InsertRemoveStimulus(benchmark::State &state)
{
    FixedPrompts prompts;
    prompts.path = QStringLiteral("/p/one.bmp");
    TestDesign design = fullDesign();
    design.stimuli.removeLast();
    TPagesDlg dlg(design, prompts, CapsLock(), DataFolder::current());
    dlg.show();
    QApplication::processEvents();
    for (auto _ : state) {
        dlg.tasksPage()->UbaciPodrazajClick();
        dlg.tasksPage()->findChild<QListWidget *>(QStringLiteral("Lista_podrazaja"))->setCurrentRow(999);
        dlg.tasksPage()->IzbaciPodrazajClick();
    }
}
BENCHMARK(BM_InsertRemoveStimulus)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
