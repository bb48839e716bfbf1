#include "sheet/print/printhandler.h"

#include "sheet/print/printdialog.h"
#include "sheet/print/sheetprinter.h"
#include "sheet/progress.h"

#include <QPrinter>

ResultSheet::PrintHandler makePrintHandler(std::shared_ptr<PrintDialog> dialog,
                                           ProgressSource progress)
{
    if (!dialog)
        return {}; // no printing: PrintSheet fails
    return [dialog = std::move(dialog), progress = std::move(progress)](const ResultSheet& sheet,
                                                                        bool showDialog) {
        QPrinter printer(QPrinter::HighResolution);
        SheetPrinter::applySettings(printer);
        if (!dialog->prepare(printer, showDialog))
            return false;
        // "All pages" in the dialog may leave an earlier range behind.
        const QPageRanges pages =
            printer.printRange() == QPrinter::PageRange ? printer.pageRanges() : QPageRanges();
        const std::unique_ptr<Progress> report = progress ? progress() : nullptr;
        const SheetPrinter::Result result = SheetPrinter(sheet).print(
            printer, pages, SheetPrinter::Copies::leftBy(printer), report.get());
        return dialog->finish(result.printed, result.error);
    };
}
