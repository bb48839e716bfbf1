#include "sheet/print/pdfprintdialog.h"

#include "sheet/print/pdfend.h"

#include <QPrinter>

PdfPrintDialog::PdfPrintDialog(QString path) : file_(std::move(path), QStringLiteral("PDF")) {}

PdfPrintDialog::~PdfPrintDialog() = default;

bool PdfPrintDialog::prepare(QPrinter& printer, bool /*showDialog*/)
{
    error_.clear();
    if (!file_.create()) {
        error_ = file_.error();
        return false;
    }
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file_.writePath());
    return true;
}

bool PdfPrintDialog::finish(bool printed, const QString& error)
{
    if (printed && !PdfEnd::whole(file_.writePath())) {
        error_ = PdfEnd::cutText(file_.target());
        file_.discard();
        return false;
    }
    if (!printed) {
        error_ = error;
        file_.discard();
        return false;
    }
    if (!file_.commit()) {
        error_ = file_.error();
        return false;
    }
    return true;
}
