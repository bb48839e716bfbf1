#pragma once

#include "sheet/print/printdialog.h"

#include <QPointer>

class QWidget;

// The platform's print dialog, modal over the window. A failure after the
// user chose to print is told in the same "Atenção" box as every other
// problem; a cancel says nothing.
class SystemPrintDialog : public PrintDialog
{
public:
    explicit SystemPrintDialog(QWidget* parent = nullptr);

    bool prepare(QPrinter& printer, bool showDialog) override;
    bool finish(bool printed, const QString& error) override;

private:
    QPointer<QWidget> parent_;
};
