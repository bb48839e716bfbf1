#include "sheet/print/printhandler.h"

#include "sheet/print/printdialog.h"
#include "sheet/print/sheetprinter.h"
#include "sheet/progress.h"

#include <QPrinter>

namespace {
// The progress report, asked for at the first page: opening the printer may
// itself ask the user something (Windows' file for "Imprimir para arquivo"),
// and no progress window should stand beside that question, nor one for a
// printout that never begins.
class LateProgress final : public Progress
{
public:
    explicit LateProgress(const ProgressSource& source) : source_(source) {}
    bool advance(int done, int total) override
    {
        if (!report_ && !asked_) {
            asked_ = true;
            report_ = source_();
        }
        return !report_ || report_->advance(done, total);
    }

private:
    const ProgressSource& source_;
    std::unique_ptr<Progress> report_;
    bool asked_ = false;
};
} // namespace

ResultSheet::PrintHandler makePrintHandler(std::shared_ptr<PrintDialog> dialog,
                                           ProgressSource progress)
{
    if (!dialog)
        return {}; // no printing: PrintSheet fails
    return [dialog = std::move(dialog), progress = std::move(progress)](const ResultSheet& sheet,
                                                                        bool showDialog) {
        QPrinter printer(QPrinter::HighResolution);
        SheetPrinter::applySettings(printer);
        const SheetPrinter sheetPrinter(sheet);
        // The dialog offers the printout's pages, all of them chosen.
        if (const int count = sheetPrinter.plan(printer).pageCount(); count > 0)
            printer.setFromTo(1, count);
        if (!dialog->prepare(printer, showDialog))
            return false;
        // "All pages" in the dialog may leave an earlier range behind.
        const QPageRanges pages =
            printer.printRange() == QPrinter::PageRange ? printer.pageRanges() : QPageRanges();
        LateProgress report(progress);
        const SheetPrinter::Result result = sheetPrinter.print(
            printer, pages, SheetPrinter::Copies::leftBy(printer), progress ? &report : nullptr);
        return dialog->finish(result.printed, result.error);
    };
}
