// Spreadsheet export speed on a results-like table of 100,000 rows; a
// format holding fewer rows is measured at its limit. `rows/s` is the rate.
//
//   build/bench/kalvestrin-bench --benchmark_filter=BM_Export

#include "database/export/ExportQuery.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

ExportColumn col(const char *name, ExportColumnType type)
{
    ExportColumn c;
    c.name = QString::fromLatin1(name);
    c.type = type;
    return c;
}

ExportData resultsTable(int rows)
{
    ExportData d;
    d.tableName = QStringLiteral("Data");
    using T = ExportColumnType;
    d.columns = {col("ID", T::Integer),     col("Name", T::Text),   col("Surname", T::Text), col("Age", T::Integer),
                 col("Gender", T::Boolean), col("N", T::Integer),   col("M", T::Double),     col("V", T::Double),
                 col("Items", T::Text),     col("Field1", T::Text), col("Field2", T::Text),  col("Field3", T::Text)};
    const QString names[] = {QStringLiteral("Ivana"), QStringLiteral("Đuro"), QStringLiteral("Šime"),
                             QStringLiteral("Žana"), QStringLiteral("Ćiril")};
    const QString surnames[] = {QStringLiteral("Horvat"), QStringLiteral("Kovačević"), QStringLiteral("Babić"),
                                QStringLiteral("Marić"),  QStringLiteral("Jurić"),     QStringLiteral("Novak")};
    d.rows.held().reserve(std::size_t(rows));
    for (int i = 0; i < rows; ++i) {
        QString items;
        for (int k = 0; items.size() < 200; ++k)
            items += QStringLiteral("%1:%2;")
                         .arg((i + k) % 97)
                         .arg((i * 7 + k) % 3 ? QStringLiteral("da") : QStringLiteral("ne"));
        d.rows.held().push_back({QVariant(qlonglong(i + 1)), names[i % 5], surnames[i % 6],
                                 QVariant(qlonglong(18 + i % 60)), QVariant(i % 2 == 0), QVariant(qlonglong(i % 40)),
                                 QVariant(i / 7.0), QVariant(0.1 * (i % 1000)), items, QStringLiteral("Zagreb"),
                                 QVariant(), QStringLiteral("čćđšž %1").arg(i % 13)});
    }
    return d;
}

void BM_Export(benchmark::State &state, int format, int rows)
{
    const ExportData data = resultsTable(rows);
    const auto exporter = makeExporter(ExportFormat(format));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("izvoz"));
    for (auto _ : state) {
        exporter->check(data);
        ExportFiles files;
        exporter->write(data, path, files);
        files.commit();
    }
    state.counters["rows"] = rows;
    state.counters["rows/s"] =
        benchmark::Counter(double(rows) * double(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK_CAPTURE(BM_Export, Excel3, efExcel3, 16383)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Export, Excel4, efExcel4, 16383)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Export, Excel5, efExcel5, 16383)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Export, Excel8, efExcel8, 65535)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Export, LotusWK1, efLotusWK1, 8191)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Export, LotusWK3, efLotusWK3, 8191)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
