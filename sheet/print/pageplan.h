#pragma once

#include "sheet/cellrange.h"

#include <functional>
#include <vector>

class ResultSheet;

// Which rows and columns of the print range land on which page. Bands of
// one-line rows are arithmetic on the fixed row height and the column
// widths, so their pages cost nothing per row; a band whose text wraps asks
// the caller's rowHeight for each row once, when the plan is made, and keeps
// only where its pages start. Nothing is painted here.
//
// Lengths are in sheet pixels, 1/96 inch, the unit the grid draws in; the
// printer scales them to its own resolution. Pages run down, then over: all
// the rows of the first band of columns, then the rows again for the next.
//
// Title columns (the sheet's frozen CPF, NIS and NOME) print at the left of
// every band that does not already start with them, as a spreadsheet's print
// titles do, so a page of checks says whose they are. A column too wide to
// print whole beside them is printed narrower, its text wrapped onto more
// lines within its room, as a spreadsheet's "wrap text" does, and its rows
// grow. A title that yields (NIS) makes room first, when keeping it would
// leave the column less than half its width or less than a third of the
// room. The titles that stay (CPF and NOME) are never left out: a wrapped
// column keeps at least a third of the room, or its width if less, and only
// on paper too narrow for the titles beside that do the last of them narrow,
// down to a third of the room each, and wrap too.
class PagePlan
{
public:
    struct Column
    {
        int col;             // 1-based sheet column
        int width;           // sheet pixels, as printed
        bool yields = false; // a title that may be left out when room is short
        bool wraps = false;  // printed narrower than its width: its text wraps
    };

    // A run of columns printed side by side: the titles it repeats, then
    // columns()[first..last]. width and titlesWidth are what each part takes
    // as printed.
    struct Band
    {
        int first;
        int last; // last < first: a band with no columns
        int width;
        int titles = 0;
        int titlesWidth = 0;
        std::vector<Column> printed = {}; // left to right, at the widths printed
        bool wraps = false;               // some column's text wraps: rows differ in height
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

    // The height in sheet pixels of a row on a band whose text wraps, given
    // the band's printed columns; at least kRowHeight.
    using RowHeight = std::function<double(int row, const std::vector<Column>& printed)>;

    // 255 twips at 96 dpi; column headings are one row high too.
    static constexpr double kRowHeight = 17.0;
    // Rows firstRow to lastRow (none when lastRow < firstRow) of the given
    // columns, with a row-heading column of rowHeadingWidth on every page and
    // the titles, in column order, left of any band that starts after them.
    PagePlan(int firstRow, int lastRow, std::vector<Column> columns, int rowHeadingWidth,
             Paper paper, std::vector<Column> titles = {}, const RowHeight& rowHeight = {});

    // A range of the shown rows, cut to them and to the columns, without hidden
    // columns; the sheet's shown frozen columns are the titles, NIS the one
    // that yields. digitWidth is the standard font's digit width in sheet
    // pixels. rowHeight is asked only for the rows of a band that wraps.
    static PagePlan forRange(const ResultSheet& sheet, const CellRange& range, Paper paper,
                             int digitWidth, const RowHeight& rowHeight = {});
    // Wide enough for the largest row number printed.
    static int rowHeadingWidth(int lastRow, int digitWidth);

    int pageCount() const { return firstPageOfBand_.back(); }
    Page page(int index) const;
    // Pages down a band whose rows all are one line high.
    int rowsPerPage() const { return rowsPerPage_; }
    // The pages one band takes down the rows.
    int rowPages(int band = 0) const;
    const std::vector<Band>& bands() const { return bands_; }
    const std::vector<Column>& columns() const { return columns_; }
    const std::vector<Column>& titles() const { return titles_; }
    // What a band prints, left to right, at the widths it prints them.
    const std::vector<Column>& columnsOf(const Band& band) const { return band.printed; }
    int rowHeadingWidth() const { return rowHeadingWidth_; }
    const Paper& paper() const { return paper_; }
    // The height a row prints at on the band, in sheet pixels: kRowHeight,
    // or what its wrapped text takes, never more than a page holds.
    double rowHeight(const Band& band, int row) const;

private:
    Band fitTitles(Band band, double room) const;
    // The first row of each page down a band whose rows wrap.
    std::vector<int> breakRows(const Band& band, const RowHeight& rowHeight) const;

    int firstRow_;
    int lastRow_;
    std::vector<Column> columns_;
    std::vector<Column> titles_;
    int rowHeadingWidth_;
    Paper paper_;
    std::vector<Band> bands_;
    int rowsPerPage_ = 1;
    int rowPages_ = 1;
    RowHeight wrappedHeight_;
    // Per band, the first row of each page when its rows wrap, else empty.
    std::vector<std::vector<int>> pageRows_;
    // The index of each band's first page, then the page count.
    std::vector<int> firstPageOfBand_;
};
