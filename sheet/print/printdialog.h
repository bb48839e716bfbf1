#pragma once

#include <QString>

class QPrinter;

// Where the user chooses the printer and its options before the sheet is
// painted. The window shows the system's print dialog; tests and the dump
// tool put a PDF file in its place, so both go through the same page code.
class PrintDialog
{
public:
    virtual ~PrintDialog();

    // Called with the printer already set up from the template, so the
    // dialog starts from those settings and the user's changes win; its
    // page range (fromPage() to toPage()) holds every page of the printout,
    // though all pages are printed unless the user chooses a range. Returns
    // false when nothing is to be printed: the user cancelled, or the output
    // cannot be opened, which the dialog reports itself.
    virtual bool prepare(QPrinter& printer, bool showDialog) = 0;
    // Called after painting, with the reason when it failed. Returns whether
    // the printout stands.
    virtual bool finish(bool printed, const QString& error) = 0;
};
