#include "app/systemprintdialog.h"

#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

SystemPrintDialog::SystemPrintDialog(QWidget* parent, std::function<QString()> fileName)
    : parent_(parent), fileName_(std::move(fileName))
{
}

SystemPrintDialog::~SystemPrintDialog() = default;

bool SystemPrintDialog::prepare(QPrinter& printer, bool showDialog)
{
    file_.reset();
    if (showDialog && !ask(printer))
        return false;
    if (printer.outputFileName().isEmpty())
        return true;
    file_.emplace(printer.outputFileName(), QStringLiteral("PDF"));
    if (!file_->create()) {
        tell(file_->error());
        file_.reset();
        return false;
    }
    printer.setOutputFileName(file_->writePath());
    return true;
}

bool SystemPrintDialog::finish(bool printed, const QString& error)
{
    QString failure = error;
    if (file_) {
        if (!printed) {
            file_->discard();
            if (!failure.isEmpty())
                failure = QStringLiteral("Não foi possível gravar o arquivo PDF \"%1\". %2")
                              .arg(QDir::toNativeSeparators(file_->target()), failure);
        } else if (!file_->commit()) {
            failure = file_->error();
            printed = false;
        }
        file_.reset();
    }
    if (!printed && !failure.isEmpty())
        tell(failure);
    return printed;
}

bool SystemPrintDialog::ask(QPrinter& printer)
{
    QPrintDialog dialog(&printer, parent_);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    // Qt's own dialog would propose the document's name, "Planilhas1", in
    // the home folder. Its file field is set, not the printer's file name,
    // which would make printing to a file the dialog's first choice. A
    // native dialog has no such field and asks for a file itself.
    if (fileName_ && printer.outputFileName().isEmpty()) {
        if (auto* file = dialog.findChild<QLineEdit*>(QStringLiteral("filename")))
            file->setText(QDir::toNativeSeparators(fileName_()));
    }
    return dialog.exec() == QDialog::Accepted;
}

void SystemPrintDialog::tell(const QString& message)
{
    QMessageBox::critical(parent_, QStringLiteral("Atenção"), message);
}
