// The overview window on an office's folder, offscreen: 200 companies'
// returns of 5,000 workers each, from a new window through the reading on
// its thread to its table painted with every company's counts, as the clerk
// first sees it. Beside it, the share of the layout and the first paint once
// the table holds the result.
#include "app/overviewwindow.h"
#include "app/systemdialogs.h"
#include "bench/benchdata.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPixmap>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <memory>

namespace {
constexpr int kCompanies = 200;
constexpr int kWorkers = 5'000;

void BM_OverviewToPaintedTable(benchmark::State& state)
{
    const QString folder = BenchData::officeFolder(kCompanies, kWorkers);
    // Never asked: nothing is saved and nothing fails.
    SystemDialogs dialogs;
    QElapsedTimer painting;
    qint64 paintingNs = 0;
    for (auto _ : state) {
        auto window = std::make_unique<OverviewWindow>(folder, dialogs);
        // As the main window opens it: nine tenths of a 1366x768 screen's.
        window->resize(1229, 691);
        window->show();
        bool finished = false;
        QEventLoop loop;
        // Emitted once the table holds the result, sorted and fitted.
        QObject::connect(window.get(), &OverviewWindow::readingFinished, &loop, [&] {
            finished = true;
            painting.start();
            loop.quit();
        });
        if (!finished)
            loop.exec();
        // Lays out what the result left pending and paints, as the first
        // paint after it does.
        QCoreApplication::processEvents();
        const QPixmap pixels = window->grab();
        benchmark::DoNotOptimize(pixels.cacheKey());
        paintingNs += painting.nsecsElapsed();

        state.PauseTiming();
        const auto* table = window->findChild<QTableView*>(QStringLiteral("tabela"));
        if (!table || table->model()->rowCount() != kCompanies)
            state.SkipWithError("the overview lost files");
        window.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kCompanies);
    state.counters["paint_ms"] =
        static_cast<double>(paintingNs) / 1e6 / static_cast<double>(state.iterations());
}
// Real time: the window's thread mostly waits for the reading thread.
BENCHMARK(BM_OverviewToPaintedTable)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
} // namespace
