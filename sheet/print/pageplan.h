#pragma once

#include "sheet/cellrange.h"

#include <vector>

class ResultSheet;

// Which rows and columns of the print range land on which page. Pure
// arithmetic on the fixed row height and the column widths, so a plan of a
// million rows costs no more than one of ten: nothing is measured or painted
// here, and a page is worked out only when asked for.
//
// Lengths are in sheet pixels, 1/96 inch, the unit the grid draws in; the
// printer scales them to its own resolution. Pages run down, then over: all
// the rows of the first band of columns, then the rows again for the next.
//
// Title columns (the sheet's frozen CPF, NIS and NOME) print at the left of
// every band that does not already start with them, as a spreadsheet's print
// titles do, so a page of checks says whose they are. Beside a column too
// wide for all of them the last ones make room: a column is never pushed off
// its page by the titles.
class PagePlan
{
public:
    struct Column
    {
        int col;   // 1-based sheet column
        int width; // sheet pixels
    };

    // A run of columns printed side by side, as indices into columns(),
    // after the first `titles` of titles(), the last of which may be cut
    // narrower (titlesWidth is what they take).
    struct Band
    {
        int first;
        int last; // last < first: a band with no columns
        int width;
        int titles = 0;
        int titlesWidth = 0;
    };

    struct Page
    {
        int index; // 0-based, in printing order
        int band;
        int firstRow;
        int lastRow; // lastRow < firstRow: the headings alone
    };

    // The printable area inside the margins, in sheet pixels.
    struct Paper
    {
        double width;
        double height;
    };

    // 255 twips at 96 dpi; column headings are one row high too.
    static constexpr double kRowHeight = 17.0;

    // Rows firstRow to lastRow (none when lastRow < firstRow) of the given
    // columns, with a row-heading column of rowHeadingWidth on every page and
    // the titles, in column order, left of any band that starts after them.
    PagePlan(int firstRow, int lastRow, std::vector<Column> columns, int rowHeadingWidth,
             Paper paper, std::vector<Column> titles = {});

    // A range of the shown rows, cut to them and to the columns, without hidden
    // columns; the sheet's shown frozen columns are the titles. digitWidth is
    // the standard font's digit width in sheet pixels.
    static PagePlan forRange(const ResultSheet& sheet, const CellRange& range, Paper paper,
                             int digitWidth);
    // Wide enough for the largest row number printed.
    static int rowHeadingWidth(int lastRow, int digitWidth);

    int pageCount() const { return rowPages_ * static_cast<int>(bands_.size()); }
    Page page(int index) const;
    int rowsPerPage() const { return rowsPerPage_; }
    int rowPages() const { return rowPages_; }
    const std::vector<Band>& bands() const { return bands_; }
    const std::vector<Column>& columns() const { return columns_; }
    const std::vector<Column>& titles() const { return titles_; }
    // What a band prints, left to right, at the widths it prints them.
    std::vector<Column> columnsOf(const Band& band) const;
    int rowHeadingWidth() const { return rowHeadingWidth_; }
    const Paper& paper() const { return paper_; }

private:
    Band fitTitles(Band band, double room) const;

    int firstRow_;
    int lastRow_;
    std::vector<Column> columns_;
    std::vector<Column> titles_;
    int rowHeadingWidth_;
    Paper paper_;
    std::vector<Band> bands_;
    int rowsPerPage_ = 1;
    int rowPages_ = 1;
};
