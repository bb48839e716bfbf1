// Import and optimisation of big return files.
#include "bench/benchdata.h"
#include "processing/importcommand.h"
#include "processing/optimizecommand.h"
#include "sheet/resultsheet.h"

#include <QFileInfo>

#include <benchmark/benchmark.h>

#include <memory>

namespace {
void importWorkers(benchmark::State& state)
{
    const int workers = static_cast<int>(state.range(0));
    const QString path = BenchData::returnFile(workers);
    std::size_t sheetBytes = 0;
    for (auto _ : state) {
        auto sheet = std::make_unique<ResultSheet>();
        const CommandOutcome outcome = ImportCommand::run(path, *sheet);
        if (outcome.rows != workers)
            state.SkipWithError("import lost rows");
        state.PauseTiming(); // the sheet's release is not the import's
        sheetBytes = sheet->Cells().memoryBytes();
        sheet.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
    state.SetItemsProcessed(state.iterations() * workers);
    state.counters["sheet_MB"] = static_cast<double>(sheetBytes) / 1e6;
    state.counters["file_MB"] = static_cast<double>(QFileInfo(path).size()) / 1e6;
}
BENCHMARK(importWorkers)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// Optimisation of an imported sheet; the import is outside the timing.
void optimizeWorkers(benchmark::State& state)
{
    const int workers = static_cast<int>(state.range(0));
    const double problemShare = static_cast<double>(state.range(1)) / 100.0;
    const QString path = BenchData::returnFile(workers, problemShare);
    for (auto _ : state) {
        state.PauseTiming();
        auto sheet = std::make_unique<ResultSheet>();
        ImportCommand::run(path, *sheet);
        state.ResumeTiming();
        const CommandOutcome outcome = OptimizeCommand::run(path, *sheet);
        benchmark::DoNotOptimize(outcome.rows);
        state.PauseTiming();
        sheet.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * workers);
}
// Problem shares of 10 %, 0 % (every row passes) and 100 % (none passes).
BENCHMARK(optimizeWorkers)
    ->Args({1'000'000, 10})
    ->Args({1'000'000, 0})
    ->Args({1'000'000, 100})
    ->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
