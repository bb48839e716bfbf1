#pragma once

#include "app/windowdialogs.h"
#include "sheet/print/pdfprintdialog.h"

#include <memory>
#include <optional>
#include <vector>

// The print dialog of the fakes: cancels, or prints to a PDF file once the
// test names one; counts how often it was asked.
class FakePrintDialog final : public PrintDialog
{
public:
    bool prepare(QPrinter& printer, bool showDialog) override
    {
        ++asked;
        shown = showDialog;
        if (pdfPath.isEmpty())
            return false;
        pdf.emplace(pdfPath);
        return pdf->prepare(printer, showDialog);
    }
    bool finish(bool printed, const QString& error) override
    {
        return pdf && pdf->finish(printed, error);
    }

    QString pdfPath; // empty: the user cancels
    int asked = 0;
    bool shown = false;
    std::optional<PdfPrintDialog> pdf;
};

// Answers the window's dialogs without showing any, and remembers what was
// asked.
class FakeDialogs final : public WindowDialogs
{
public:
    struct Request
    {
        QWidget* parent;
        QString title;
        QString detail; // the folder of an open dialog, the text of a message
    };

    QString chooseFileToOpen(QWidget* parent, const QString& title, const QString& folder) override
    {
        opens.push_back({parent, title, folder});
        return answer;
    }
    void showCritical(QWidget* parent, const QString& title, const QString& text) override
    {
        messages.push_back({parent, title, text});
    }
    std::shared_ptr<PrintDialog> printDialog(QWidget*) override { return printer; }

    QString answer; // what the open dialog returns; empty: cancelled
    std::vector<Request> opens;
    std::vector<Request> messages;
    std::shared_ptr<FakePrintDialog> printer = std::make_shared<FakePrintDialog>();
};
