// The grid on a million imported workers: how long from the imported sheet
// to the first painted grid, how painting far down compares with the top,
// and how much memory the grid keeps per row beyond the sheet's own. Then a
// hostile file whose one worker is a single 50 MB field: Processar up to the
// painted grid, and a click in it.
#include "processing/importcommand.h"
#include "processing/returnfileparser.h"
#include "sheet/grid/sheetview.h"
#include "sheet/resultsheet.h"
#include "tools/returnfilegenerator.h"

#include <QApplication>
#include <QFile>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <malloc.h>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {
constexpr int kWorkers = 1'000'000;

const std::string& bigFileText()
{
    static const std::string text = ReturnFileGenerator().file(kWorkers);
    return text;
}

const QString& bigFile()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString target = dir.filePath(QStringLiteral("retorno-1m.txt"));
        QFile file(target);
        const std::string& text = bigFileText();
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(text.data(), static_cast<qint64>(text.size())) !=
                static_cast<qint64>(text.size()))
            throw std::runtime_error("cannot write the benchmark's return file");
        return target;
    }();
    return path;
}

// What ImportCommand builds before it hands the cells to the sheet.
CellStore parsedCells(int& rows, int& columns)
{
    ReturnFileParser parser;
    std::string_view text = bigFileText();
    bool header = true;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!header)
            parser.addLine(line);
        header = false;
    }
    rows = parser.rows();
    columns = parser.columns();
    return parser.takeCells();
}

std::size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Lays out what a reset left pending and draws the whole widget, headers and
// scroll bars included, as the first paint after a command does.
void paint(SheetView& view)
{
    QCoreApplication::processEvents();
    const QPixmap pixels = view.grab();
    benchmark::DoNotOptimize(pixels.cacheKey());
}

void showView(SheetView& view)
{
    view.resize(1280, 800);
    view.show();
    paint(view);
}

// The import's last step, handing the parsed cells to the sheet, up to the
// grid painted with them.
void BM_ImportedSheetToFirstPaint(benchmark::State& state)
{
    SheetView view;
    showView(view);
    for (auto _ : state) {
        state.PauseTiming();
        int rows = 0;
        int columns = 0;
        CellStore cells = parsedCells(rows, columns);
        state.ResumeTiming();
        view.sheet().ReplaceCells(std::move(cells), rows, columns);
        paint(view);
    }
    state.counters["rows"] = view.sheet().RowCount();
}
BENCHMARK(BM_ImportedSheetToFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(5);

// Any later reset of a million-row sheet (a deletion, the row count) up to
// the next paint.
void BM_ResetToPaint(benchmark::State& state)
{
    SheetView view;
    showView(view);
    ImportCommand::run(bigFile(), view.sheet());
    paint(view);
    int rows = view.sheet().RowCount();
    for (auto _ : state) {
        rows += rows == kWorkers ? -1 : 1;
        view.sheet().SetRowCount(rows);
        paint(view);
    }
}
BENCHMARK(BM_ResetToPaint)->Unit(benchmark::kMillisecond);

// Painting at the last rows costs what it costs at the first ones.
void BM_PaintAt(benchmark::State& state)
{
    SheetView view;
    showView(view);
    ImportCommand::run(bigFile(), view.sheet());
    const int row = state.range(0) == 0 ? 1 : view.sheet().RowCount();
    view.sheet().SetActiveCell(row, 1);
    paint(view);
    for (auto _ : state)
        paint(view);
}
BENCHMARK(BM_PaintAt)->Arg(0)->Arg(1)->ArgName("bottom")->Unit(benchmark::kMillisecond);

// Heap the grid keeps for a million rows, beyond what the sheet holds for
// them: the same file imported into a sheet no grid shows, and into the
// grid's own; then rows without text, which cost the sheet nothing.
void BM_ViewMemoryPerRow(benchmark::State& state)
{
    bigFile(); // generated before anything is counted
    for (auto _ : state) {
        ResultSheet alone;
        const std::size_t aloneBefore = heapInUse();
        ImportCommand::run(bigFile(), alone);
        const double sheetBytes = static_cast<double>(heapInUse() - aloneBefore);

        SheetView view;
        showView(view);
        const std::size_t viewBefore = heapInUse();
        ImportCommand::run(bigFile(), view.sheet());
        paint(view);
        const double withViewBytes = static_cast<double>(heapInUse() - viewBefore);

        // A fresh grid: one that has shown rows keeps its headers' room for them.
        SheetView emptyRows;
        showView(emptyRows);
        const std::size_t emptyBefore = heapInUse();
        emptyRows.sheet().SetRowCount(kWorkers);
        paint(emptyRows);
        const double emptyRowsBytes = static_cast<double>(heapInUse() - emptyBefore);

        state.counters["sheetBytesPerRow"] = sheetBytes / kWorkers;
        state.counters["viewBytesPerRow"] = (withViewBytes - sheetBytes) / kWorkers;
        state.counters["viewBytesPerEmptyRow"] = emptyRowsBytes / kWorkers;
    }
}
BENCHMARK(BM_ViewMemoryPerRow)->Unit(benchmark::kMillisecond)->Iterations(1);

const QString& hugeCellFile()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString target = dir.filePath(QStringLiteral("l50.txt"));
        QFile file(target);
        const QByteArray text = "H\n" + QByteArray(50'000'000, 'A') + "\n";
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            throw std::runtime_error("cannot write the benchmark's return file");
        return target;
    }();
    return path;
}

void BM_HugeCellProcessarToPaint(benchmark::State& state)
{
    SheetView view;
    showView(view);
    hugeCellFile();
    for (auto _ : state) {
        if (!ImportCommand::run(hugeCellFile(), view.sheet()).succeeded())
            state.SkipWithError("the import refused the file");
        paint(view);
    }
}
BENCHMARK(BM_HugeCellProcessarToPaint)->Unit(benchmark::kMillisecond)->Iterations(2);

// A click on the huge cell and one beside it, each up to the repainted grid.
void BM_HugeCellClick(benchmark::State& state)
{
    SheetView view;
    showView(view);
    ImportCommand::run(hugeCellFile(), view.sheet());
    paint(view);
    int col = 1;
    for (auto _ : state) {
        const QModelIndex cell = view.model()->index(0, col - 1);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualRect(cell).center());
        paint(view);
        col = 3 - col;
    }
}
BENCHMARK(BM_HugeCellClick)->Unit(benchmark::kMillisecond)->Iterations(4);
} // namespace
