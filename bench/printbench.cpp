// Printing costs: the page plan of a million rows, made before anything is
// painted, and painting pages to PDF through the same code the printer uses.
#include "bench/benchdata.h"
#include "processing/importcommand.h"
#include "sheet/print/pageplan.h"
#include "sheet/print/sheetprinter.h"
#include "sheet/resultsheet.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QPrinter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <sys/resource.h>

namespace {
void setUpPdf(QPrinter& printer, const QString& path)
{
    SheetPrinter::applySettings(printer);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
}

// The plan for a loaded million-row sheet as the print command leaves it,
// every page worked out once.
void BM_PagePlanMillionRows(benchmark::State& state)
{
    ResultSheet sheet;
    sheet.SetRowCount(1'000'000);
    sheet.SetColumnsHidden(6, 8, true);
    sheet.SetSelection(1, 1, sheet.RowCount(), sheet.ColCount());
    sheet.PrintRangeFromSelection();
    QPrinter printer(QPrinter::HighResolution);
    setUpPdf(printer, QStringLiteral("/dev/null"));
    const SheetPrinter sheetPrinter(sheet);

    long long rows = 0;
    int pages = 0;
    for (auto _ : state) {
        const PagePlan plan = sheetPrinter.plan(printer);
        for (int i = 0; i < plan.pageCount(); ++i) {
            const PagePlan::Page page = plan.page(i);
            rows += page.lastRow - page.firstRow + 1;
        }
        pages = plan.pageCount();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_PagePlanMillionRows)->Unit(benchmark::kMillisecond);

// The plan for a million loaded workers, CPF, NIS and NOME frozen: on A4
// portrait the bands of COD_CPF_DN and the orientations wrap, and their
// pages are found by measuring each row's messages.
void BM_PagePlanMillionLoadedRows(benchmark::State& state)
{
    ResultSheet sheet;
    if (!ImportCommand::run(BenchData::returnFile(1'000'000), sheet).succeeded()) {
        state.SkipWithError("cannot load the sheet");
        return;
    }
    sheet.SetFrozen(true);
    sheet.SetSelection(1, 1, sheet.RowCount(), sheet.ColCount());
    sheet.PrintRangeFromSelection();
    QPrinter printer(QPrinter::HighResolution);
    setUpPdf(printer, QStringLiteral("/dev/null"));
    const SheetPrinter sheetPrinter(sheet);

    int pages = 0;
    for (auto _ : state) {
        const PagePlan plan = sheetPrinter.plan(printer);
        pages = plan.pageCount();
        benchmark::DoNotOptimize(pages);
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_PagePlanMillionLoadedRows)->Unit(benchmark::kMillisecond)->Iterations(3);

// A realistic sheet, loaded once, with rows enough for over 1,000 pages.
const ResultSheet* loadedSheet()
{
    static const std::unique_ptr<ResultSheet> sheet = [] {
        auto loaded = std::make_unique<ResultSheet>();
        const QString input = BenchData::returnFile(7'000);
        if (!ImportCommand::run(input, *loaded).succeeded())
            return std::unique_ptr<ResultSheet>();
        loaded->SetSelection(1, 1, loaded->RowCount(), loaded->ColCount());
        loaded->PrintRangeFromSelection();
        return loaded;
    }();
    return sheet.get();
}

long peakResidentKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// N pages painted to a PDF file. The peak memory is the process's: run after
// the 100-page case, the 1,000-page case shows whether pages pile up.
void BM_PaintPagesToPdf(benchmark::State& state)
{
    const ResultSheet* sheet = loadedSheet();
    if (!sheet) {
        state.SkipWithError("cannot load the sheet");
        return;
    }
    const SheetPrinter sheetPrinter(*sheet);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("saida.pdf"));
    QPageRanges pages;
    pages.addRange(1, static_cast<int>(state.range(0)));

    int printed = 0;
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        setUpPdf(printer, pdf);
        const SheetPrinter::Result result = sheetPrinter.print(printer, pages);
        if (!result.printed) {
            state.SkipWithError(result.error.toUtf8().constData());
            return;
        }
        printed = result.pages;
    }
    state.counters["pages"] = printed;
    state.counters["pdf_kb"] = static_cast<double>(QFileInfo(pdf).size()) / 1024;
    state.counters["peak_rss_mb"] = static_cast<double>(peakResidentKilobytes()) / 1024;
}
BENCHMARK(BM_PaintPagesToPdf)->Arg(100)->Arg(1'000)->Unit(benchmark::kMillisecond);
} // namespace
