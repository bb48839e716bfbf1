#include "sheet/print/pageplan.h"

#include "sheet/resultsheet.h"
#include "sheet/returnfields.h"
#include "sheet/sheettemplate.h"

#include <algorithm>
#include <cmath>

PagePlan::PagePlan(int firstRow, int lastRow, std::vector<Column> columns, int rowHeadingWidth,
                   Paper paper, std::vector<Column> titles, const RowHeight& rowHeight)
    : firstRow_(firstRow), lastRow_(std::max(lastRow, firstRow - 1)), columns_(std::move(columns)),
      titles_(std::move(titles)), rowHeadingWidth_(rowHeadingWidth), paper_(paper),
      wrappedHeight_(rowHeight)
{
    // A column that does not fit beside the others starts the next band; one
    // wider than the paper still gets a band, alone, and is clipped there. A
    // band repeats the titles left of its first column: one that starts with
    // them prints them once, in their place. The titles themselves are never
    // parted: on paper too narrow for them the last ones narrow.
    const double room = paper_.width - rowHeadingWidth_;
    auto isTitle = [this](const Column& column) {
        return std::any_of(titles_.begin(), titles_.end(),
                           [&](const Column& title) { return title.col == column.col; });
    };
    Band band{0, -1, 0};
    bool titlesOnly = true; // the band's own columns are titles
    for (int i = 0; i < static_cast<int>(columns_.size()); ++i) {
        const Column& column = columns_[static_cast<std::size_t>(i)];
        titlesOnly = titlesOnly && band.titles == 0 && isTitle(column);
        if (band.last >= band.first && band.titlesWidth + band.width + column.width > room &&
            !titlesOnly) {
            bands_.push_back(fitTitles(band, room));
            band = Band{i, i - 1, 0};
            titlesOnly = false;
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

    firstPageOfBand_.push_back(0);
    for (const Band& each : bands_) {
        pageRows_.push_back(each.wraps && wrappedHeight_ && rows > 0 ? breakRows(each, rowHeight)
                                                                     : std::vector<int>{});
        const int pages =
            pageRows_.back().empty() ? rowPages_ : static_cast<int>(pageRows_.back().size());
        firstPageOfBand_.push_back(firstPageOfBand_.back() + pages);
    }
}

PagePlan::Band PagePlan::fitTitles(Band band, double room) const
{
    band.printed.assign(titles_.begin(), titles_.begin() + band.titles);
    band.printed.insert(band.printed.end(), columns_.begin() + band.first,
                        columns_.begin() + (band.last + 1));
    if (band.titlesWidth + band.width <= room)
        return band;
    const int third = std::max(1, static_cast<int>(std::floor(room / 3)));
    // Narrows columns from the right, none below a third of the room (its
    // width if less), until `excess` is made up or none can give more.
    auto narrow = [third](std::vector<Column>::iterator begin, std::vector<Column>::iterator end,
                          int excess) {
        for (auto it = end; it != begin && excess > 0;) {
            --it;
            const int narrowed = std::max(std::min(it->width, third), it->width - excess);
            excess -= it->width - narrowed;
            it->wraps = it->wraps || narrowed < it->width;
            it->width = narrowed;
        }
    };
    if (band.titles == 0) {
        // The titles' own band narrows them; any other column too wide
        // keeps its width and is clipped at the paper's edge.
        if (band.last > band.first) {
            narrow(band.printed.begin(), band.printed.end(),
                   band.width - static_cast<int>(std::floor(room)));
            band.width = 0;
            for (const Column& column : band.printed)
                band.width += column.width;
            band.wraps = std::any_of(band.printed.begin(), band.printed.end(),
                                     [](const Column& each) { return each.wraps; });
        }
        return band;
    }

    // Titles that yield make room, from the right, while the column would
    // keep less than half of itself or less than a third of the room beside
    // them. Past that it wraps within what is left, but keeps that third
    // (its width if less); on a paper too narrow for it the last title
    // narrows, as far as a third of the room, and wraps too, and the block
    // is clipped only past that.
    Column column = band.printed.back();
    band.printed.pop_back();
    auto titlesWidth = [&] {
        int width = 0;
        for (const Column& title : band.printed)
            width += title.width;
        return width;
    };
    const int least = std::min(column.width, third);
    auto left = [&] { return static_cast<int>(std::floor(room)) - titlesWidth(); };
    for (auto it = band.printed.end(); it != band.printed.begin();) {
        --it;
        if (left() >= least && 2 * left() >= column.width)
            break;
        if (it->yields)
            it = band.printed.erase(it);
    }
    if (left() < least)
        narrow(band.printed.begin(), band.printed.end(), least - left());
    const int whole = column.width;
    column.width = std::max(least, std::min(whole, left()));
    column.wraps = column.width < whole;

    band.titles = static_cast<int>(band.printed.size());
    band.titlesWidth = titlesWidth();
    band.width = column.width;
    band.printed.push_back(column);
    band.wraps = std::any_of(band.printed.begin(), band.printed.end(),
                             [](const Column& each) { return each.wraps; });
    return band;
}

std::vector<int> PagePlan::breakRows(const Band& band, const RowHeight& rowHeight) const
{
    const double rowRoom = paper_.height - kRowHeight;
    std::vector<int> firsts{firstRow_};
    double used = 0;
    for (int row = firstRow_; row <= lastRow_; ++row) {
        const double height = std::max(kRowHeight, std::min(rowHeight(row, band.printed), rowRoom));
        if (used > 0 && used + height > rowRoom) {
            firsts.push_back(row);
            used = 0;
        }
        used += height;
    }
    return firsts;
}

double PagePlan::rowHeight(const Band& band, int row) const
{
    if (!band.wraps || !wrappedHeight_)
        return kRowHeight;
    return std::max(kRowHeight,
                    std::min(wrappedHeight_(row, band.printed), paper_.height - kRowHeight));
}

int PagePlan::rowPages(int band) const
{
    const auto b = static_cast<std::size_t>(band);
    return firstPageOfBand_[b + 1] - firstPageOfBand_[b];
}

PagePlan::Page PagePlan::page(int index) const
{
    const auto after = std::upper_bound(firstPageOfBand_.begin(), firstPageOfBand_.end(), index);
    const int band = static_cast<int>(after - firstPageOfBand_.begin()) - 1;
    const int down = index - firstPageOfBand_[static_cast<std::size_t>(band)];
    const std::vector<int>& rows = pageRows_[static_cast<std::size_t>(band)];
    if (!rows.empty()) {
        const auto d = static_cast<std::size_t>(down);
        const int last = d + 1 < rows.size() ? rows[d + 1] - 1 : lastRow_;
        return Page{index, band, rows[d], last};
    }
    const int first = firstRow_ + down * rowsPerPage_;
    const int last = std::min(lastRow_, first + rowsPerPage_ - 1);
    return Page{index, band, first, last};
}

PagePlan PagePlan::forRange(const ResultSheet& sheet, const CellRange& range, Paper paper,
                            int digitWidth, const RowHeight& rowHeight)
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
    // CPF and NOME say whose row it is; NIS, a second number for the same
    // worker, is the one title that gives way to a check.
    std::vector<Column> titles = shown(1, std::min(sheet.FrozenColumnCount(), sheet.ColCount()));
    for (Column& title : titles)
        title.yields = title.col == ReturnFields::kNisColumn;
    const int widestRowNumber = std::max(lastRow, firstRow);
    return PagePlan(firstRow, lastRow, shown(range.col1, lastCol),
                    rowHeadingWidth(widestRowNumber, digitWidth), paper, std::move(titles),
                    rowHeight);
}

int PagePlan::rowHeadingWidth(int lastRow, int digitWidth)
{
    // Never narrower than three digits, so short sheets keep a readable margin.
    int digits = 1;
    for (int n = std::max(lastRow, 1); n >= 10; n /= 10)
        ++digits;
    return std::max(digits, 3) * digitWidth + 2 * SheetTemplate::kCellPaddingPixels;
}
