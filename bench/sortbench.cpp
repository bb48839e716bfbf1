// Sorting a million imported workers by a column: the name (Portuguese text),
// the date of birth, the CPF and a check column (interned messages), each
// ascending and descending. Beside the time, the memory a sort needs per row:
// its peak beyond what the process held before (which includes the 4 bytes
// a row of the order it returns) and the order alone.
#include "bench/benchdata.h"
#include "bench/residentmemory.h"
#include "processing/importcommand.h"
#include "sheet/resultsheet.h"
#include "sheet/rowsort.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {
constexpr int kWorkers = 1'000'000;

const ResultSheet& sheet()
{
    static const std::unique_ptr<ResultSheet> imported = [] {
        auto s = std::make_unique<ResultSheet>();
        if (ImportCommand::run(BenchData::returnFile(kWorkers), *s).rows != kWorkers)
            throw std::runtime_error("the import lost workers");
        return s;
    }();
    return *imported;
}

// The resident peak one sort adds, in bytes.
double sortPeakBytes(int col, RowSort::Direction direction)
{
    std::vector<std::int32_t> order;
    return ResidentMemory::peakAddedMb([&] {
               order = RowSort::order(sheet().Cells(), sheet().RowCount(), col, direction);
               benchmark::DoNotOptimize(order.data());
           }) *
           1024 * 1024;
}

void sortColumn(benchmark::State& state)
{
    const int col = static_cast<int>(state.range(0));
    const auto direction =
        state.range(1) == 0 ? RowSort::Direction::Ascending : RowSort::Direction::Descending;
    const ResultSheet& s = sheet();
    std::size_t orderBytes = 0;
    for (auto _ : state) {
        const std::vector<std::int32_t> order =
            RowSort::order(s.Cells(), s.RowCount(), col, direction);
        orderBytes = order.size() * sizeof(order[0]);
        benchmark::DoNotOptimize(order.data());
    }
    state.SetItemsProcessed(state.iterations() * s.RowCount());
    state.counters["orderBytesPerRow"] = static_cast<double>(orderBytes) / s.RowCount();
    state.counters["peakBytesPerRow"] = sortPeakBytes(col, direction) / s.RowCount();
}
// NOME, DN, CPF and COD_CPF_CANCELADO; 0 ascending, 1 descending.
BENCHMARK(sortColumn)
    ->ArgNames({"col", "desc"})
    ->Args({3, 0})
    ->Args({3, 1})
    ->Args({4, 0})
    ->Args({1, 0})
    ->Args({16, 0})
    ->Args({16, 1})
    ->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
