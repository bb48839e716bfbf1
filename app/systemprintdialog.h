#pragma once

#include "sheet/print/printdialog.h"
#include "system/replacingfile.h"

#include <QPointer>

#include <functional>
#include <optional>

class QWidget;

// The platform's print dialog, modal over the window. A failure after the
// user chose to print is told in the same "Atenção" box as every other
// problem; a cancel says nothing. "Imprimir para arquivo" is a save like any
// other: the pages go to a temporary file that takes the chosen file's place
// only when every page is written; the file it proposes is the one
// `fileName` gives, as "Salvar como" proposes its own. Without a printer it
// says so, and how else to have the sheet on paper.
class SystemPrintDialog : public PrintDialog
{
public:
    explicit SystemPrintDialog(QWidget* parent = nullptr, std::function<QString()> fileName = {});
    ~SystemPrintDialog() override;

    bool prepare(QPrinter& printer, bool showDialog) override;
    bool finish(bool printed, const QString& error) override;

protected:
    // Shows the dialog; false when the user cancels it.
    virtual bool ask(QPrinter& printer);
    // Shows a failure.
    virtual void tell(const QString& message);
    // Whether the dialog can print anywhere: the platform's own needs an
    // installed printer.
    virtual bool hasPrinter() const;

private:
    void restoreWorkingFolder();

    QPointer<QWidget> parent_;
    std::function<QString()> fileName_;
    std::optional<ReplacingFile> file_;    // while printing to a file
    std::optional<QString> workingFolder_; // to be put back after the printout
};
