// The grid as a worklist on a million imported workers, each step up to the
// grid painted again as the user would see it: a column's filter list, a
// filter applied, the rows sorted by NOME and back in the file's order, a
// frame scrolled with a filter and a sort on, and the memory the two keep
// per row.
#include "bench/benchdata.h"
#include "processing/importcommand.h"
#include "sheet/columnvalues.h"
#include "sheet/grid/sheetview.h"
#include "sheet/resultsheet.h"

#include <QCoreApplication>
#include <QPixmap>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <malloc.h>
#include <map>
#include <set>
#include <string>

namespace {
constexpr int kWorkers = 1'000'000;
constexpr int kCpf = 1; // a text a worker: a million of them
constexpr int kName = 3;
constexpr int kCancelled = 16;
constexpr int kOrientation = 21;

void paint(SheetView& view)
{
    QCoreApplication::processEvents();
    const QPixmap pixels = view.grab();
    benchmark::DoNotOptimize(pixels.cacheKey());
}

SheetView& grid()
{
    static SheetView* view = [] {
        auto* shown = new SheetView;
        shown->resize(1280, 800);
        shown->show();
        if (!ImportCommand::run(BenchData::returnFile(kWorkers), shown->sheet()).succeeded())
            std::abort();
        paint(*shown);
        return shown;
    }();
    return *view;
}

// The orientation most workers with one have: a filter an office uses.
std::set<std::string> usualOrientation(const ResultSheet& sheet)
{
    std::string most;
    int rows = 0;
    for (const ColumnValues::Value& value : ColumnValues::of(sheet, kOrientation)) {
        if (value.utf8 != "OK" && value.rows > rows) {
            most = std::string(value.utf8);
            rows = value.rows;
        }
    }
    return {most};
}

std::size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// What "Filtrar…" lists: CPF (a million texts), NOME, a check and the orientation.
void BM_FilterList(benchmark::State& state)
{
    const ResultSheet& sheet = grid().sheet();
    const int col = static_cast<int>(state.range(0));
    std::size_t texts = 0;
    for (auto _ : state)
        texts = ColumnValues::of(sheet, col).size();
    state.counters["texts"] = static_cast<double>(texts);
}
BENCHMARK(BM_FilterList)
    ->Arg(kCpf)
    ->Arg(kName)
    ->Arg(kCancelled)
    ->Arg(kOrientation)
    ->ArgName("col")
    ->Unit(benchmark::kMillisecond);

void BM_ApplyFilter(benchmark::State& state)
{
    SheetView& view = grid();
    ResultSheet& sheet = view.sheet();
    const std::set<std::string> wanted = usualOrientation(sheet);
    for (auto _ : state) {
        sheet.SetColumnFilter(kOrientation, wanted);
        paint(view);
        state.PauseTiming();
        state.counters["shown"] = sheet.ShownRowCount();
        sheet.ClearFilters();
        paint(view);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ApplyFilter)->Unit(benchmark::kMillisecond);

void BM_SortByName(benchmark::State& state)
{
    SheetView& view = grid();
    ResultSheet& sheet = view.sheet();
    for (auto _ : state) {
        sheet.SortRows(kName, RowSort::Direction::Ascending);
        paint(view);
        state.PauseTiming();
        sheet.ClearSort();
        paint(view);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SortByName)->Unit(benchmark::kMillisecond);

void BM_BackToFileOrder(benchmark::State& state)
{
    SheetView& view = grid();
    ResultSheet& sheet = view.sheet();
    for (auto _ : state) {
        state.PauseTiming();
        sheet.SortRows(kName, RowSort::Direction::Ascending);
        paint(view);
        state.ResumeTiming();
        sheet.ClearSort();
        paint(view);
    }
}
BENCHMARK(BM_BackToFileOrder)->Unit(benchmark::kMillisecond);

// One frame of scrolling a page down, the whole grid painted again, with
// every row shown in the file's order (0) and with a filter that keeps nine
// in ten and a sort by NOME (1).
void BM_ScrollFrame(benchmark::State& state)
{
    SheetView& view = grid();
    ResultSheet& sheet = view.sheet();
    if (state.range(0) == 1) {
        std::set<std::string> most;
        most.insert(std::string(ColumnValues::of(sheet, kCancelled).front().utf8));
        sheet.SetColumnFilter(kCancelled, most);
        sheet.SortRows(kName, RowSort::Direction::Ascending);
    }
    paint(view);
    QScrollBar* down = view.verticalScrollBar();
    int page = 0;
    for (auto _ : state) {
        page = (page + 1) % 1000;
        down->setValue(down->maximum() / 1000 * page);
        view.repaint();
    }
    state.counters["shown"] = sheet.ShownRowCount();
    sheet.ClearFilters();
    sheet.ClearSort();
}
BENCHMARK(BM_ScrollFrame)->Arg(0)->Arg(1)->ArgName("filteredSorted")->Unit(benchmark::kMillisecond);

// What a filter and a sort keep, per row of the sheet: both index arrays.
// On a sheet of its own, so that nothing a grid frees meanwhile is counted.
void BM_FilterAndSortMemoryPerRow(benchmark::State& state)
{
    ResultSheet sheet;
    if (!ImportCommand::run(BenchData::returnFile(kWorkers), sheet).succeeded())
        std::abort();
    std::set<std::string> most;
    most.insert(std::string(ColumnValues::of(sheet, kCancelled).front().utf8));
    for (auto _ : state) {
        const std::size_t before = heapInUse();
        sheet.SortRows(kName, RowSort::Direction::Ascending);
        sheet.SetColumnFilter(kCancelled, most);
        state.counters["bytesPerRow"] =
            static_cast<double>(heapInUse() - before) / sheet.RowCount();
        state.counters["shown"] = sheet.ShownRowCount();
        sheet.ClearFilters();
        sheet.ClearSort();
    }
}
BENCHMARK(BM_FilterAndSortMemoryPerRow)->Unit(benchmark::kMillisecond)->Iterations(1);
} // namespace
