#include "sheet/print/pageplan.h"

#include "sheet/resultsheet.h"
#include "sheet/sheettemplate.h"

#include <algorithm>
#include <cmath>

PagePlan::PagePlan(int firstRow, int lastRow, std::vector<Column> columns, int rowHeadingWidth,
                   Paper paper)
    : firstRow_(firstRow), lastRow_(std::max(lastRow, firstRow - 1)), columns_(std::move(columns)),
      rowHeadingWidth_(rowHeadingWidth), paper_(paper)
{
    // A column that does not fit beside the others starts the next band; one
    // wider than the paper still gets a band, alone, and is clipped there.
    const double room = paper_.width - rowHeadingWidth_;
    Band band{0, -1, 0};
    for (int i = 0; i < static_cast<int>(columns_.size()); ++i) {
        const int width = columns_[static_cast<std::size_t>(i)].width;
        if (band.last >= band.first && band.width + width > room) {
            bands_.push_back(band);
            band = Band{i, i - 1, 0};
        }
        band.last = i;
        band.width += width;
    }
    // With no column left to print, the row headings still make one band.
    bands_.push_back(band);

    const double rowRoom = paper_.height - kRowHeight;
    rowsPerPage_ = std::max(1, static_cast<int>(std::floor(rowRoom / kRowHeight)));
    const long long rows = static_cast<long long>(lastRow_) - firstRow_ + 1;
    rowPages_ = rows == 0 ? 1 : static_cast<int>((rows + rowsPerPage_ - 1) / rowsPerPage_);
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

    std::vector<Column> columns;
    for (int col = std::max(range.col1, 1); col <= lastCol; ++col) {
        if (sheet.IsColumnHidden(col))
            continue;
        const int units = SheetTemplate::columnWidthUnits(col);
        columns.push_back({col, SheetTemplate::columnWidthPixels(units, digitWidth)});
    }
    const int widestRowNumber = std::max(lastRow, firstRow);
    return PagePlan(firstRow, lastRow, std::move(columns),
                    rowHeadingWidth(widestRowNumber, digitWidth), paper);
}

int PagePlan::rowHeadingWidth(int lastRow, int digitWidth)
{
    // Never narrower than three digits, so short sheets keep a readable margin.
    int digits = 1;
    for (int n = std::max(lastRow, 1); n >= 10; n /= 10)
        ++digits;
    return std::max(digits, 3) * digitWidth + 2 * SheetTemplate::kCellPaddingPixels;
}
