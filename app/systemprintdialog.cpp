#include "app/systemprintdialog.h"

#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

SystemPrintDialog::SystemPrintDialog(QWidget* parent) : parent_(parent) {}

bool SystemPrintDialog::prepare(QPrinter& printer, bool showDialog)
{
    if (!showDialog)
        return true;
    QPrintDialog dialog(&printer, parent_);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    return dialog.exec() == QDialog::Accepted;
}

bool SystemPrintDialog::finish(bool printed, const QString& error)
{
    if (!printed && !error.isEmpty())
        QMessageBox::critical(parent_, QStringLiteral("Atenção"), error);
    return printed;
}
