#pragma once

#include "sheet/print/printdialog.h"
#include "system/replacingfile.h"

#include <QString>

// Prints to a PDF file instead of asking the user. The pages go to a
// temporary file beside the target, which replaces the target only when
// every page is written: a failed printout leaves any earlier file intact and
// no partial one behind.
class PdfPrintDialog : public PrintDialog
{
public:
    explicit PdfPrintDialog(QString path);
    ~PdfPrintDialog() override;

    bool prepare(QPrinter& printer, bool showDialog) override;
    bool finish(bool printed, const QString& error) override;

    // Why the last printout failed; empty after a successful or cancelled one.
    QString errorString() const { return error_; }

private:
    ReplacingFile file_;
    QString error_;
};
