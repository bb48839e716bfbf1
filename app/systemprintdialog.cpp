#include "app/systemprintdialog.h"

#include "app/focusreturn.h"
#include "processing/savetarget.h"
#include "sheet/print/pdfend.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

SystemPrintDialog::SystemPrintDialog(QWidget* parent, std::function<QString()> fileName)
    : parent_(parent), fileName_(std::move(fileName))
{
}

SystemPrintDialog::~SystemPrintDialog() = default;

bool SystemPrintDialog::prepare(QPrinter& printer, bool showDialog)
{
    file_.reset();
    workingFolder_.reset();
    // Without a printer Windows' dialog does not even open: the user would
    // be left with nothing.
    if (!hasPrinter()) {
        tell(QStringLiteral("Nenhuma impressora está instalada neste computador. Salve a "
                            "planilha como PDF (Ctrl+S) para imprimi-la em outro lugar."));
        return false;
    }
    // Windows asks for the file of "Imprimir para arquivo" itself, in the
    // working folder: until the printout ends that is the folder of the
    // file Salvar como proposes, not the program's own.
    if (fileName_) {
        const QString folder = QFileInfo(fileName_()).absolutePath();
        if (QDir(folder).exists() && QDir::currentPath() != folder) {
            workingFolder_ = QDir::currentPath();
            QDir::setCurrent(folder);
        }
    }
    if (showDialog && !ask(printer)) {
        restoreWorkingFolder();
        return false;
    }
    if (printer.outputFileName().isEmpty())
        return true;
    if (SaveTarget::isReturnFile(printer.outputFileName())) {
        restoreWorkingFolder();
        tell(QStringLiteral("O PDF não foi salvo: ") +
             SaveTarget::returnFileText(QDir::toNativeSeparators(printer.outputFileName())));
        return false;
    }
    file_.emplace(printer.outputFileName(), QStringLiteral("PDF"));
    if (!file_->create()) {
        restoreWorkingFolder();
        tell(file_->error());
        file_.reset();
        return false;
    }
    printer.setOutputFileName(file_->writePath());
    return true;
}

void SystemPrintDialog::restoreWorkingFolder()
{
    if (workingFolder_)
        QDir::setCurrent(*workingFolder_);
    workingFolder_.reset();
}

bool SystemPrintDialog::finish(bool printed, const QString& error)
{
    restoreWorkingFolder();
    QString failure = error;
    if (file_) {
        if (!printed) {
            file_->discard();
            if (!failure.isEmpty())
                failure = QStringLiteral("Não foi possível gravar o arquivo PDF \"%1\". %2")
                              .arg(QDir::toNativeSeparators(file_->target()), failure);
        } else if (!PdfEnd::whole(file_->writePath())) {
            file_->discard();
            failure = PdfEnd::cutText(file_->target());
            printed = false;
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
    const FocusReturn back(parent_);
    QPrintDialog dialog(&printer, parent_);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    // The pages the printout has, else the dialog offers 0 to 1.
    if (printer.toPage() > 0)
        dialog.setMinMax(1, printer.toPage());
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

bool SystemPrintDialog::hasPrinter() const
{
#ifdef Q_OS_WIN
    return !QPrinterInfo::availablePrinterNames().isEmpty();
#else
    // Qt's own dialog always offers printing to a PDF file.
    return true;
#endif
}

void SystemPrintDialog::tell(const QString& message)
{
    const FocusReturn back(parent_);
    QMessageBox::critical(parent_, QStringLiteral("Atenção"), message);
}
