// The real window on a million workers, offscreen: a fresh window with the
// file in the path box, a click on Processar, through the import, to the
// first painted grid. And a second file loaded while the first is shown,
// with the process's peak memory against one sheet's.
#include "app/verinova.h"
#include "bench/benchdata.h"
#include "bench/residentmemory.h"
#include "sheet/grid/sheetview.h"
#include "sheet/resultsheet.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPixmap>
#include <QTest>

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <memory>

namespace {
constexpr int kWorkers = 1'000'000;

// Starts a new peak (Linux: writing 5 to clear_refs resets VmHWM).
void resetPeak()
{
    malloc_trim(0);
    ResidentMemory::resetPeak();
}

std::unique_ptr<Verinova> shownWindow(const QString& path)
{
    auto window = std::make_unique<Verinova>();
    window->setReturnFilePath(path);
    window->show();
    QCoreApplication::processEvents();
    window->grab();
    return window;
}

// Lays out what the click left pending and paints the grid, as the first
// paint after a command does.
void paintGrid(Verinova& window)
{
    QCoreApplication::processEvents();
    const QPixmap pixels = window.findChild<SheetView*>(QStringLiteral("F1Book1"))->grab();
    benchmark::DoNotOptimize(pixels.cacheKey());
}

void click(Verinova& window)
{
    QTest::mouseClick(window.findChild<QAbstractButton*>(QStringLiteral("Command2")),
                      Qt::LeftButton);
}

void BM_ClickProcessarToPaintedGrid(benchmark::State& state)
{
    const QString path = BenchData::returnFile(kWorkers);
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<Verinova> window = shownWindow(path);
        state.ResumeTiming();
        click(*window);
        paintGrid(*window);
        state.PauseTiming();
        if (window->findChild<SheetView*>(QStringLiteral("F1Book1"))->sheet().RowCount() !=
            kWorkers)
            state.SkipWithError("the import lost rows");
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ClickProcessarToPaintedGrid)->Unit(benchmark::kMillisecond)->Iterations(5);

// Peak memory: one sheet shown, then a second file of the same size loaded
// over it. Run alone (--benchmark_filter=Reload) for a peak of its own.
void BM_ReloadPeak(benchmark::State& state)
{
    const QString first = BenchData::returnFile(kWorkers);
    const QString second = BenchData::returnFile(kWorkers, 0.2);
    for (auto _ : state) {
        std::unique_ptr<Verinova> window = shownWindow(first);
        resetPeak();
        const double base = ResidentMemory::megabytes("VmRSS");
        click(*window);
        paintGrid(*window);
        const double one = ResidentMemory::megabytes("VmHWM") - base;
        window->setReturnFilePath(second);
        resetPeak();
        click(*window);
        paintGrid(*window);
        const double two = ResidentMemory::megabytes("VmHWM") - base;
        state.counters["oneSheetPeak_MB"] = one;
        state.counters["reloadPeak_MB"] = two;
        state.counters["reloadOverOne"] = two / one;
    }
}
BENCHMARK(BM_ReloadPeak)->Unit(benchmark::kMillisecond)->Iterations(1);
} // namespace
