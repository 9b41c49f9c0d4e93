// Masking speed against copying the same frame with memcpy, measured in the
// same run and interleaved so both see the same machine state; and loading
// and saving a design of 1000 tasks; and a whole presentation (picture read,
// masked, drawn into a screen-format image).
//
//   build/bench/kalvestrin-bench --benchmark_filter=Mask
// prints, per case, the masking time, `memcpy_ms`, the time of one memcpy of
// the frame's bytes between two buffers allocated once and kept warm, and
// `vs_memcpy`, the ratio of the two, and the same for the fastest run of each
// (`fastest_ms`, `fastest_memcpy_ms`, `fastest_vs_memcpy`). BM_MaskFresh masks into a new frame each
// time (an allocation and its first touch included), BM_MaskReused into one
// frame kept across presentations, as the test window does.

#include "common/Bitmap.h"
#include "design/DesignFile.h"
#include "design/TestDesign.h"
#include "session/MaskStimulus.h"

#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

namespace {

QImage scene(int w, int h)
{
    // A drawing-like picture: white ground with scattered dark strokes.
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    QRandomGenerator rng(42);
    for (int y = 0; y < h; ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            if (rng.bounded(8) == 0)
                row[x] = qRgb(20, 20, 20);
        }
    }
    return image;
}

template <bool Reuse>
void BM_Mask(benchmark::State &state)
{
    const int w = int(state.range(0));
    const int h = int(state.range(1));
    const int level = int(state.range(2));
    const bool ignoreBackground = state.range(3) != 0;
    const QImage picture = scene(w, h);
    const std::size_t bytes = std::size_t(w) * std::size_t(h) * sizeof(QRgb);
    // Both buffers written once here, so the copy never meets a fresh page.
    std::vector<unsigned char> from(bytes, 1), to(bytes, 0);
    MaskedFrame kept;
    MaskStimulus(kept, picture, level, 0xFFFFFF, ignoreBackground);

    using Clock = std::chrono::steady_clock;
    double maskSeconds = 0;
    double copySeconds = 0;
    double maskFastest = 1e9;
    double copyFastest = 1e9;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        if constexpr (Reuse) {
            MaskStimulus(kept, picture, level, 0xFFFFFF, ignoreBackground);
            benchmark::DoNotOptimize(kept.efficiency);
            benchmark::DoNotOptimize(kept.image.constBits());
        } else {
            MaskedFrame frame = MaskStimulus(picture, level, 0xFFFFFF, ignoreBackground);
            benchmark::DoNotOptimize(frame.efficiency);
            benchmark::DoNotOptimize(frame.image.constBits());
        }
        const auto t1 = Clock::now();
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
        const auto t2 = Clock::now();
        const double m = std::chrono::duration<double>(t1 - t0).count();
        const double c = std::chrono::duration<double>(t2 - t1).count();
        maskSeconds += m;
        copySeconds += c;
        maskFastest = std::min(maskFastest, m);
        copyFastest = std::min(copyFastest, c);
        state.SetIterationTime(m);
    }
    state.counters["memcpy_ms"] = 1000 * copySeconds / double(state.iterations());
    state.counters["vs_memcpy"] = maskSeconds / copySeconds;
    // On a busy machine the fastest run of each says more than the mean.
    state.counters["fastest_ms"] = 1000 * maskFastest;
    state.counters["fastest_memcpy_ms"] = 1000 * copyFastest;
    state.counters["fastest_vs_memcpy"] = maskFastest / copyFastest;
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes));
}

void maskArgs(benchmark::internal::Benchmark *b)
{
    for (auto size : {std::pair{1920, 1080}, std::pair{4000, 3000}})
        for (int level : {1, 4, 12})
            for (int ignore : {0, 1})
                b->Args({size.first, size.second, level, ignore});
    b->ArgNames({"w", "h", "level", "ignoreBg"});
}

BENCHMARK(BM_Mask<false>)->Name("BM_MaskFresh")->Apply(maskArgs)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Mask<true>)->Name("BM_MaskReused")->Apply(maskArgs)->UseManualTime()->Unit(benchmark::kMillisecond);

// One presentation's work after the key: read the picture file (or take it
// from the cache), mask it, and draw the frame into an image of the screen's
// format as the window's paint does. Against memcpy of the frame's bytes.
void BM_Present(benchmark::State &state)
{
    const int w = int(state.range(0));
    const int h = int(state.range(1));
    const bool load = state.range(2) != 0;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("slika.bmp"));
    saveBmp24(scene(w, h), path);
    const QImage cached = loadPicture(path);
    QImage screen(w + 2, h + 2, QImage::Format_ARGB32_Premultiplied);
    const std::size_t bytes = std::size_t(w) * std::size_t(h) * sizeof(QRgb);
    std::vector<unsigned char> from(bytes, 1);

    using Clock = std::chrono::steady_clock;
    double presentSeconds = 0;
    double copySeconds = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const QImage picture = load ? loadPicture(path) : cached;
        const MaskedFrame frame = MaskStimulus(picture, 12, 0xFFFFFF, false);
        {
            QPainter painter(&screen);
            painter.drawImage(frame.topLeft(), frame.image);
        }
        benchmark::DoNotOptimize(screen.constBits());
        const auto t1 = Clock::now();
        std::vector<unsigned char> copy(bytes);
        std::memcpy(copy.data(), from.data(), bytes);
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
        const auto t2 = Clock::now();
        const double p = std::chrono::duration<double>(t1 - t0).count();
        presentSeconds += p;
        copySeconds += std::chrono::duration<double>(t2 - t1).count();
        state.SetIterationTime(p);
    }
    state.counters["vs_memcpy"] = presentSeconds / copySeconds;
}
BENCHMARK(BM_Present)
    ->Args({1920, 1080, 1})
    ->Args({1920, 1080, 0})
    ->ArgNames({"w", "h", "load"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

TestDesign thousandTasks()
{
    TestDesign d;
    for (int i = 0; i < TestDesign::MaxTasks; ++i) {
        d.stimuli << QStringLiteral("C:\\Podražaji\\serija %1\\slika_%2.bmp").arg(i / 100).arg(i);
        d.maskColours[std::size_t(i)] = Colour(i * 4099 % 0xFFFFFF);
        d.solutions[std::size_t(i)][0] = QStringLiteral("KUĆA%1").arg(i);
        d.solutions[std::size_t(i)][1] = QStringLiteral("ŽABA");
    }
    return d;
}

void BM_SaveDesign1000(benchmark::State &state)
{
    const TestDesign d = thousandTasks();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("nacrt.txt"));
    for (auto _ : state)
        SaveDesignFile(d, path);
}
BENCHMARK(BM_SaveDesign1000)->Unit(benchmark::kMillisecond);

void BM_LoadDesign1000(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("nacrt.txt"));
    SaveDesignFile(thousandTasks(), path);
    TestDesign d;
    for (auto _ : state) {
        LoadDesignFile(d, path);
        benchmark::DoNotOptimize(d.stimuli.size());
    }
}
BENCHMARK(BM_LoadDesign1000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
