// The real window on a million workers, offscreen: a fresh window with the
// file in the path box, a click on Processar, through the import, to the
// first painted grid. And a second file loaded while the first is shown,
// with the process's peak memory against one sheet's.
#include "app/verinova.h"
#include "bench/benchdata.h"
#include "sheet/grid/sheetview.h"
#include "sheet/resultsheet.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QPixmap>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstring>
#include <malloc.h>
#include <memory>

namespace {
constexpr int kWorkers = 1'000'000;

// VmHWM and VmRSS of /proc/self/status, in MB.
double statusMegabytes(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(static_cast<qsizetype>(std::strlen(field)))
                       .trimmed()
                       .split(' ')[0]
                       .toDouble() /
                   1024.0;
    }
    return 0;
}

// Starts a new peak (Linux: writing 5 to clear_refs resets VmHWM).
void resetPeak()
{
    malloc_trim(0);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
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
        const double base = statusMegabytes("VmRSS:");
        click(*window);
        paintGrid(*window);
        const double one = statusMegabytes("VmHWM:") - base;
        window->setReturnFilePath(second);
        resetPeak();
        click(*window);
        paintGrid(*window);
        const double two = statusMegabytes("VmHWM:") - base;
        state.counters["oneSheetPeak_MB"] = one;
        state.counters["reloadPeak_MB"] = two;
        state.counters["reloadOverOne"] = two / one;
    }
}
BENCHMARK(BM_ReloadPeak)->Unit(benchmark::kMillisecond)->Iterations(1);
} // namespace
