// An office's folder of returns: 200 companies' files of 5,000 workers each,
// named as the government names them, read to their counts on the thread the
// window would use. Beside the time, the resident peak the whole folder adds
// against the peak of one of its files loaded into a sheet, and that sheet's
// own cells: the folder keeps counts, never sheets, so the two peaks should
// be alike.
#include "bench/benchdata.h"
#include "bench/residentmemory.h"
#include "processing/folderoverview.h"
#include "processing/folderoverviewtask.h"
#include "processing/importcommand.h"
#include "sheet/progress.h"
#include "sheet/resultsheet.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {
constexpr int kCompanies = 200;
constexpr int kWorkers = 5'000;

QString folder()
{
    return BenchData::officeFolder(kCompanies, kWorkers);
}

// What the window's progress bar would hear, counted.
class CountingProgress : public Progress
{
public:
    bool advance(int done, int) override
    {
        last = done;
        return true;
    }
    int last = -1;
};

FolderOverview::Result readInBackground()
{
    CountingProgress progress;
    FolderOverviewTask task(folder(), &progress);
    return task.wait();
}

void overviewFolder(benchmark::State& state)
{
    folder();
    for (auto _ : state) {
        const FolderOverview::Result result = readInBackground();
        if (!result.complete() || result.entries.size() != std::size_t{kCompanies} ||
            result.entries.back().counts.workers() != kWorkers)
            state.SkipWithError("the overview lost files or workers");
    }
    state.SetItemsProcessed(state.iterations() * kCompanies);

    // One file as Processar loads it, against the whole folder.
    std::size_t sheetBytes = 0;
    const QString first = FolderOverview::filesIn(folder()).front();
    const double sheetPeak = ResidentMemory::peakAddedMb([&sheetBytes, &first] {
        ResultSheet sheet;
        ImportCommand::run(first, sheet);
        sheetBytes = sheet.Cells().memoryBytes();
    });
    const double overviewPeak =
        ResidentMemory::peakAddedMb([] { benchmark::DoNotOptimize(readInBackground()); });
    state.counters["sheet_cells_MB"] = static_cast<double>(sheetBytes) / (1024 * 1024);
    state.counters["sheet_peak_MB"] = sheetPeak;
    state.counters["overview_peak_MB"] = overviewPeak;
    state.counters["peak_per_sheet_peak"] = sheetPeak > 0 ? overviewPeak / sheetPeak : 0;
}
// Real time: the calling thread only waits for the reading thread.
BENCHMARK(overviewFolder)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
} // namespace

BENCHMARK_MAIN();
