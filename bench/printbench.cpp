// Printing costs: the page plan of a million rows, made before anything is
// painted, and painting pages to PDF through the same code the printer uses.
#include "importcommand.h"
#include "pageplan.h"
#include "resultsheet.h"
#include "returnfilegenerator.h"
#include "sheetprinter.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrinter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>

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

// 100 pages of a realistic sheet painted to a PDF file.
void BM_Paint100PagesToPdf(benchmark::State& state)
{
    constexpr int kPages = 100;
    QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("retorno.txt"));
    {
        QFile file(input);
        if (!file.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot write the return file");
            return;
        }
        ReturnFileGenerator generator;
        // Enough rows for more than 100 pages down and across.
        const std::string text = generator.file(1'000);
        file.write(text.data(), static_cast<qint64>(text.size()));
    }
    ResultSheet sheet;
    if (!ImportCommand::run(input, sheet).succeeded()) {
        state.SkipWithError("import failed");
        return;
    }
    sheet.SetSelection(1, 1, sheet.RowCount(), sheet.ColCount());
    sheet.PrintRangeFromSelection();
    const SheetPrinter sheetPrinter(sheet);
    const QString pdf = dir.filePath(QStringLiteral("saida.pdf"));

    int printed = 0;
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        setUpPdf(printer, pdf);
        QPageRanges pages;
        pages.addRange(1, kPages);
        const SheetPrinter::Result result = sheetPrinter.print(printer, pages);
        if (!result.printed) {
            state.SkipWithError(result.error.toUtf8().constData());
            return;
        }
        printed = result.pages;
    }
    state.counters["pages"] = printed;
    state.counters["bytes"] = static_cast<double>(QFileInfo(pdf).size());
}
BENCHMARK(BM_Paint100PagesToPdf)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
