#include "sheet/print/pageplan.h"

#include "sheet/resultsheet.h"
#include "sheet/sheettemplate.h"

#include <algorithm>
#include <cmath>

PagePlan::PagePlan(int firstRow, int lastRow, std::vector<Column> columns, int rowHeadingWidth,
                   Paper paper, std::vector<Column> titles)
    : firstRow_(firstRow), lastRow_(std::max(lastRow, firstRow - 1)), columns_(std::move(columns)),
      titles_(std::move(titles)), rowHeadingWidth_(rowHeadingWidth), paper_(paper)
{
    // A column that does not fit beside the others starts the next band; one
    // wider than the paper still gets a band, alone, and is clipped there. A
    // band repeats the titles left of its first column: one that starts with
    // them prints them once, in their place.
    const double room = paper_.width - rowHeadingWidth_;
    Band band{0, -1, 0};
    for (int i = 0; i < static_cast<int>(columns_.size()); ++i) {
        const Column& column = columns_[static_cast<std::size_t>(i)];
        if (band.last >= band.first && band.titlesWidth + band.width + column.width > room) {
            bands_.push_back(fitTitles(band, room));
            band = Band{i, i - 1, 0};
        }
        if (band.last < band.first) {
            for (const Column& title : titles_) {
                if (title.col >= column.col)
                    break;
                ++band.titles;
                band.titlesWidth += title.width;
            }
        }
        band.last = i;
        band.width += column.width;
    }
    // With no column left to print, the row headings still make one band.
    bands_.push_back(fitTitles(band, room));

    const double rowRoom = paper_.height - kRowHeight;
    rowsPerPage_ = std::max(1, static_cast<int>(std::floor(rowRoom / kRowHeight)));
    const long long rows = static_cast<long long>(lastRow_) - firstRow_ + 1;
    rowPages_ = rows == 0 ? 1 : static_cast<int>((rows + rowsPerPage_ - 1) / rowsPerPage_);
}

PagePlan::Band PagePlan::fitTitles(Band band, double room) const
{
    // Only a band of one column can be too wide for its titles: it keeps its
    // whole width, and the titles make room from the right. One cut to what
    // is left (the name, beside a wide check) still shows at least half of
    // itself; less would show too little to tell whose row it is.
    if (band.titlesWidth + band.width <= room)
        return band;
    const double left = room - band.width;
    int titles = 0;
    int width = 0;
    while (titles < band.titles) {
        const int full = titles_[static_cast<std::size_t>(titles)].width;
        const int fits = static_cast<int>(std::floor(left)) - width;
        if (fits >= full) {
            width += full;
            ++titles;
            continue;
        }
        if (2 * fits >= full) {
            width += fits;
            ++titles;
        }
        break;
    }
    band.titles = titles;
    band.titlesWidth = width;
    return band;
}

std::vector<PagePlan::Column> PagePlan::columnsOf(const Band& band) const
{
    std::vector<Column> columns(titles_.begin(), titles_.begin() + band.titles);
    if (!columns.empty()) {
        int before = 0;
        for (std::size_t i = 0; i + 1 < columns.size(); ++i)
            before += columns[i].width;
        columns.back().width = band.titlesWidth - before;
    }
    columns.insert(columns.end(), columns_.begin() + band.first,
                   columns_.begin() + (band.last + 1));
    return columns;
}

PagePlan::Page PagePlan::page(int index) const
{
    const int band = index / rowPages_;
    const int down = index % rowPages_;
    const int first = firstRow_ + down * rowsPerPage_;
    const int last = std::min(lastRow_, first + rowsPerPage_ - 1);
    return Page{index, band, first, last};
}

PagePlan PagePlan::forRange(const ResultSheet& sheet, const CellRange& range, Paper paper,
                            int digitWidth)
{
    const int firstRow = std::max(range.row1, 1);
    const int lastRow = std::min(range.row2, sheet.ShownRowCount());
    const int lastCol = std::min(range.col2, sheet.ColCount());

    auto shown = [&](int first, int last) {
        std::vector<Column> columns;
        for (int col = std::max(first, 1); col <= last; ++col) {
            if (sheet.IsColumnHidden(col))
                continue;
            const int units = SheetTemplate::columnWidthUnits(col);
            columns.push_back({col, SheetTemplate::columnWidthPixels(units, digitWidth)});
        }
        return columns;
    };
    const int widestRowNumber = std::max(lastRow, firstRow);
    return PagePlan(firstRow, lastRow, shown(range.col1, lastCol),
                    rowHeadingWidth(widestRowNumber, digitWidth), paper,
                    shown(1, std::min(sheet.FrozenColumnCount(), sheet.ColCount())));
}

int PagePlan::rowHeadingWidth(int lastRow, int digitWidth)
{
    // Never narrower than three digits, so short sheets keep a readable margin.
    int digits = 1;
    for (int n = std::max(lastRow, 1); n >= 10; n /= 10)
        ++digits;
    return std::max(digits, 3) * digitWidth + 2 * SheetTemplate::kCellPaddingPixels;
}
