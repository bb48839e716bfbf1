#include "sheet/print/printhandler.h"

#include "sheet/print/printdialog.h"
#include "sheet/print/sheetprinter.h"

#include <QPrinter>

ResultSheet::PrintHandler makePrintHandler(std::shared_ptr<PrintDialog> dialog)
{
    if (!dialog)
        return {}; // no printing: PrintSheet fails
    return [dialog = std::move(dialog)](const ResultSheet& sheet, bool showDialog) {
        QPrinter printer(QPrinter::HighResolution);
        SheetPrinter::applySettings(printer);
        if (!dialog->prepare(printer, showDialog))
            return false;
        // "All pages" in the dialog may leave an earlier range behind.
        const QPageRanges pages =
            printer.printRange() == QPrinter::PageRange ? printer.pageRanges() : QPageRanges();
        const SheetPrinter::Result result =
            SheetPrinter(sheet).print(printer, pages, SheetPrinter::Copies::leftBy(printer));
        return dialog->finish(result.printed, result.error);
    };
}
