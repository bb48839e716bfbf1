#pragma once

#include "sheet/cellrange.h"
#include "sheet/print/pageplan.h"

#include <QPageLayout>
#include <QPageRanges>
#include <QString>

#include <memory>

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;
class Progress;
class QPrinter;
class ResultSheet;
class WrappedCells;

// Paints a sheet's print range as a spreadsheet prints it: the template's
// header and footer, the row and column headings on every page, the frozen
// CPF, NIS and NOME at the left of every page as print titles, gridlines,
// cells in the template's font and column widths, the block centred across
// the page; a column printed narrower to leave room for the titles wraps its
// text, and its rows grow. Pages are painted one at a time, as the page plan
// gives them.
class SheetPrinter
{
public:
    struct Result
    {
        bool printed = false;
        int pages = 0;
        QString error; // why nothing, or not everything, was printed; empty when cancelled
    };

    // What the painting must do itself: the copies the printer cannot make
    // (a PDF file has no copies), and the page order, which Qt leaves to the
    // application whatever the printer.
    struct Copies
    {
        int count = 1;
        bool collate = true; // whole printouts one after the other, else each page n times
        bool lastPageFirst = false;

        static Copies leftBy(const QPrinter& printer);
    };

    // Prints the sheet's print range, or another range of it.
    explicit SheetPrinter(const ResultSheet& sheet);
    SheetPrinter(const ResultSheet& sheet, const CellRange& range);

    // The template's print settings: paper, orientation, margins, colour and
    // copies. Applied before the print dialog, so the user starts from them.
    static void applySettings(QPrinter& printer);
    // The template's paper, orientation and margins, from the paper's edge.
    static QPageLayout pageLayout();
    // The standard font's digit width in sheet pixels, the unit the column
    // widths count in; the grid measures the same font.
    static int digitWidth();

    PagePlan plan(const QPagedPaintDevice& device) const;
    // Paints the pages whose 1-based numbers are in `pages`, or every page
    // when `pages` is empty, as many times and in the order `copies` says.
    // `progress` hears of each page and may stop the job, which a printer
    // then discards. Running out of memory ends it the same way, with a
    // message: no std::bad_alloc leaves here.
    Result print(QPagedPaintDevice& device, const QPageRanges& pages, const Copies& copies,
                 Progress* progress = nullptr) const;
    Result print(QPagedPaintDevice& device, const QPageRanges& pages = {}) const
    {
        return print(device, pages, Copies{});
    }

private:
    std::shared_ptr<WrappedCells> wrappedCells(const QPaintDevice& device) const;
    PagePlan planWith(const QPagedPaintDevice& device, std::shared_ptr<WrappedCells> wrapped) const;
    Result printPages(QPainter& painter, QPagedPaintDevice& device, const QPageRanges& pages,
                      const Copies& copies, Progress* progress) const;

    const ResultSheet& sheet_;
    CellRange range_;
};
