// Imports arbitrary bytes, runs Otimizar on the sheet and plans the printout
// of what is left, checking what each step promises: only the rows with a
// problem stay, in their order; a code column is hidden exactly when it
// passes everywhere; every shown column and every row lands on one page of
// each band. Then the grid's sort and filter on a column the input picks:
// every row shown once, empty cells last, equal texts in the file's order;
// a column's filter list counts every row once; filtering by a listed text
// shows exactly its rows, still in the sort's order.
#include "fuzz/fuzzimport.h"
#include "processing/optimizecommand.h"
#include "processing/printcommand.h"
#include "processing/returncodes.h"
#include "sheet/columnvalues.h"
#include "sheet/print/pageplan.h"
#include "sheet/resultsheet.h"
#include "sheet/returnfields.h"

#include <QTemporaryFile>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
constexpr int kFirstCode = ReturnFields::kFirstCheckColumn;
constexpr int kLastCode = ReturnFields::kOrientationColumn;
// Enough columns to tell rows apart without copying a 1,024-column sheet.
constexpr int kKeyColumns = 32;

void check(bool holds)
{
    if (!holds)
        std::abort();
}

std::string rowKey(const ResultSheet& sheet, int row)
{
    std::string key;
    for (int col = 1; col <= std::min(sheet.ColCount(), kKeyColumns); ++col) {
        key.append(sheet.CellUtf8(row, col));
        key.push_back('\0');
    }
    return key;
}

bool passes(const ResultSheet& sheet, int row)
{
    for (int col = kFirstCode; col <= kLastCode; ++col) {
        if (sheet.CellUtf8(row, col) != ReturnCodes::kOk)
            return false;
    }
    return true;
}

void checkPlan(const ResultSheet& sheet, PagePlan::Paper paper)
{
    constexpr int kDigitWidth = 7;
    const PagePlan plan = PagePlan::forRange(sheet, sheet.PrintRange(), paper, kDigitWidth);

    std::vector<int> shown;
    for (int col = 1; col <= sheet.ColCount(); ++col) {
        if (!sheet.IsColumnHidden(col))
            shown.push_back(col);
    }
    check(plan.columns().size() == shown.size());
    for (std::size_t i = 0; i < shown.size(); ++i)
        check(plan.columns()[i].col == shown[i]);

    // The bands cut the shown columns into runs, in order, each on its paper
    // unless it is one column too wide for any; a column printed narrower
    // than its width wraps.
    const auto& bands = plan.bands();
    check(!bands.empty());
    int next = 0;
    for (const PagePlan::Band& band : bands) {
        check(band.first == next);
        const std::vector<PagePlan::Column>& printed = plan.columnsOf(band);
        const int own = std::max(band.last - band.first + 1, 0);
        check(static_cast<int>(printed.size()) == band.titles + own);
        int width = 0;
        for (int i = 0; i < own; ++i) {
            const PagePlan::Column& column = printed[static_cast<std::size_t>(band.titles + i)];
            const PagePlan::Column& whole =
                plan.columns()[static_cast<std::size_t>(band.first + i)];
            check(column.col == whole.col && column.width <= whole.width &&
                  column.wraps == (column.width < whole.width));
            width += column.width;
        }
        check(width == band.width);
        check(band.last <= band.first ||
              band.titlesWidth + band.width + plan.rowHeadingWidth() <= paper.width);
        next = std::max(next, band.last + 1);
    }
    check(next == static_cast<int>(shown.size()));

    // Down each band, the pages hold every row once, in order. A narrow paper
    // has thousands of pages; the first bands tell as much as all of them.
    check(plan.pageCount() == plan.rowPages() * static_cast<int>(bands.size()));
    const int checkedBands = std::min(static_cast<int>(bands.size()), 8);
    for (int b = 0; b < checkedBands; ++b) {
        int row = 1;
        for (int down = 0; down < plan.rowPages(); ++down) {
            const PagePlan::Page page = plan.page(b * plan.rowPages() + down);
            check(page.band == b && page.firstRow == row);
            check(page.lastRow - page.firstRow + 1 <= plan.rowsPerPage());
            row = std::max(row, page.lastRow + 1);
        }
        check(row == sheet.RowCount() + 1);
    }
}
void checkShownRows(ResultSheet& sheet, int col, RowSort::Direction direction)
{
    sheet.SortRows(col, direction);
    const int rows = sheet.RowCount();
    check(sheet.ShownRowCount() == rows);
    std::vector<bool> seen(static_cast<std::size_t>(rows) + 1, false);
    bool emptySeen = false;
    for (int position = 1; position <= rows; ++position) {
        const int row = sheet.ShownRow(position);
        check(row >= 1 && row <= rows && !seen[static_cast<std::size_t>(row)]);
        seen[static_cast<std::size_t>(row)] = true;
        const bool empty = sheet.CellUtf8(row, col).empty();
        check(empty || !emptySeen);
        emptySeen = emptySeen || empty;
        if (position > 1) {
            const int before = sheet.ShownRow(position - 1);
            if (sheet.CellUtf8(before, col) == sheet.CellUtf8(row, col))
                check(before < row);
        }
    }

    const std::vector<ColumnValues::Value> values = ColumnValues::of(sheet, col);
    int counted = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        counted += values[i].rows;
        check(i == 0 || values[i - 1].rows >= values[i].rows);
    }
    check(counted == rows);
    if (values.empty())
        return;
    const std::string wanted(values.back().utf8);
    std::vector<int> expected;
    for (int position = 1; position <= rows; ++position) {
        if (sheet.CellUtf8(sheet.ShownRow(position), col) == wanted)
            expected.push_back(sheet.ShownRow(position));
    }
    sheet.SetColumnFilter(col, {wanted});
    check(sheet.ShownRowCount() == static_cast<int>(expected.size()));
    check(static_cast<int>(expected.size()) == values.back().rows);
    for (int position = 1; position <= sheet.ShownRowCount(); ++position)
        check(sheet.ShownRow(position) == expected[static_cast<std::size_t>(position - 1)]);
    sheet.ClearFilters();
    sheet.ClearSort();
    check(sheet.ShowsEveryRowInOrder());
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Otimizar asks only that the path box name a file; it reads the sheet.
    static QTemporaryFile file;
    static const bool opened = file.open();
    check(opened);

    ResultSheet sheet;
    if (!FuzzImport::into(sheet, data, size).succeeded())
        return 0;

    std::vector<std::string> problems;
    for (int row = 1; row <= sheet.RowCount(); ++row) {
        if (!passes(sheet, row))
            problems.push_back(rowKey(sheet, row));
    }
    const int columns = sheet.ColCount();

    const CommandOutcome outcome = OptimizeCommand::run(file.fileName(), sheet);
    check(outcome.succeeded());
    check(outcome.rows == sheet.RowCount());
    check(sheet.RowCount() == static_cast<int>(problems.size()));
    check(sheet.ColCount() == columns);
    for (int row = 1; row <= sheet.RowCount(); ++row)
        check(rowKey(sheet, row) == problems[static_cast<std::size_t>(row - 1)]);
    check(sheet.CellUtf8(sheet.RowCount() + 1, 1).empty());
    for (int col = 1; col <= sheet.ColCount(); ++col) {
        bool everywhereOk = sheet.RowCount() > 0 && col >= kFirstCode && col <= kLastCode;
        for (int row = 1; row <= sheet.RowCount() && everywhereOk; ++row)
            everywhereOk = sheet.CellUtf8(row, col) == ReturnCodes::kOk;
        check(sheet.IsColumnHidden(col) == everywhereOk);
    }

    // The printer button's range, then an A4 page and one narrower than a column.
    PrintCommand::run(sheet);
    checkPlan(sheet, {650, 930});
    checkPlan(sheet, {60, 40});

    if (size > 0) {
        const int col = data[size - 1] % sheet.ColCount() + 1;
        checkShownRows(sheet, col,
                       data[0] % 2 ? RowSort::Direction::Descending
                                   : RowSort::Direction::Ascending);
    }
    return 0;
}
