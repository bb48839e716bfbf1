// Saving and finding at scale: 100,000 imported workers to XLSX and to CSV
// through the save itself (temporary file and rename included), and a
// Localizar over 1,000,000 rows that finds nothing, the longest search there
// is. Whole-process figures, import and start-up included, come from
// /usr/bin/time -v on `verinova-cadastral --salvar`.
#include "bench/benchdata.h"
#include "processing/importcommand.h"
#include "sheet/export/sheetfile.h"
#include "sheet/grid/sheetfinder.h"
#include "sheet/resultsheet.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <optional>

namespace {
const ResultSheet& loaded(int workers)
{
    static std::map<int, std::unique_ptr<ResultSheet>> sheets;
    std::unique_ptr<ResultSheet>& sheet = sheets[workers];
    if (!sheet) {
        sheet = std::make_unique<ResultSheet>();
        if (!ImportCommand::run(BenchData::returnFile(workers), *sheet).succeeded())
            std::abort();
    }
    return *sheet;
}

void save(benchmark::State& state, SheetFile::Format format)
{
    const ResultSheet& sheet = loaded(static_cast<int>(state.range(0)));
    QTemporaryDir folder;
    const QString path =
        QDir(folder.path()).filePath(QStringLiteral("saida.") + SheetFile::extension(format));
    for (auto _ : state) {
        if (!SheetFile::save(sheet, path, format).saved())
            state.SkipWithError("the save failed");
    }
    state.counters["rows"] = sheet.RowCount();
}

void BM_SaveXlsx(benchmark::State& state)
{
    save(state, SheetFile::Format::Xlsx);
}
BENCHMARK(BM_SaveXlsx)->Arg(100'000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SaveCsv(benchmark::State& state)
{
    save(state, SheetFile::Format::Csv);
}
BENCHMARK(BM_SaveCsv)->Arg(100'000)->Unit(benchmark::kMillisecond)->Iterations(5);

// A name with accents that no worker has, from the first cell round to it.
void BM_FindNothingInAMillionRows(benchmark::State& state)
{
    const ResultSheet& sheet = loaded(1'000'000);
    const SheetFinder finder(QStringLiteral("Joaquina Ñusta"));
    for (auto _ : state) {
        const std::optional<SheetFinder::Cell> hit = finder.findAfter(sheet, 1, 1);
        if (hit)
            state.SkipWithError("found what no worker holds");
        benchmark::DoNotOptimize(hit);
    }
    state.counters["rows"] = sheet.RowCount();
}
BENCHMARK(BM_FindNothingInAMillionRows)->Unit(benchmark::kMillisecond)->Iterations(5);
} // namespace
