#include "pageplan.h"
#include "resultsheet.h"
#include "sheettemplate.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <tuple>
#include <vector>

namespace {
using Columns = std::vector<int>;
// (band, firstRow, lastRow) of each page in printing order.
using PageList = std::vector<std::tuple<int, int, int>>;

std::vector<PagePlan::Column> columnsOfWidths(const std::vector<int>& widths)
{
    std::vector<PagePlan::Column> columns;
    for (std::size_t i = 0; i < widths.size(); ++i)
        columns.push_back({static_cast<int>(i) + 1, widths[i]});
    return columns;
}

std::vector<Columns> bandColumns(const PagePlan& plan)
{
    std::vector<Columns> out;
    for (const PagePlan::Band& band : plan.bands()) {
        Columns cols;
        for (int i = band.first; i <= band.last; ++i)
            cols.push_back(plan.columns()[static_cast<std::size_t>(i)].col);
        out.push_back(cols);
    }
    return out;
}

PageList pageList(const PagePlan& plan)
{
    PageList out;
    for (int i = 0; i < plan.pageCount(); ++i) {
        const PagePlan::Page page = plan.page(i);
        out.emplace_back(page.band, page.firstRow, page.lastRow);
    }
    return out;
}

// Paper 100 wide with a 10-wide row heading leaves 90 for columns; 5 rows
// high, one of them the column headings, leaves 4 rows a page.
constexpr int kHeadingWidth = 10;
constexpr PagePlan::Paper kPaper{100, 5 * PagePlan::kRowHeight};

struct PlanCase
{
    const char* name;
    int firstRow;
    int lastRow;
    std::vector<int> widths;
    std::vector<Columns> bands;
    PageList pages;
    PagePlan::Paper paper = kPaper;
};

class PagePlanTest : public ::testing::TestWithParam<PlanCase>
{
};

TEST_P(PagePlanTest, PlacesRowsAndColumns)
{
    const PlanCase& c = GetParam();
    const PagePlan plan(c.firstRow, c.lastRow, columnsOfWidths(c.widths), kHeadingWidth, c.paper);
    EXPECT_EQ(bandColumns(plan), c.bands);
    EXPECT_EQ(pageList(plan), c.pages);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PagePlanTest,
    ::testing::Values(
        PlanCase{"NoRowsStillPrintsHeadings", 1, 0, {30, 30}, {{1, 2}}, {{0, 1, 0}}},
        PlanCase{"NoRowsOverSeveralBands", 1, 0, {60, 60}, {{1}, {2}}, {{0, 1, 0}, {1, 1, 0}}},
        PlanCase{
            "ColumnsFillTheWidthExactly", 1, 8, {30, 30, 30}, {{1, 2, 3}}, {{0, 1, 4}, {0, 5, 8}}},
        PlanCase{"OneRowMoreStartsAPage",
                 1,
                 9,
                 {30, 30, 30},
                 {{1, 2, 3}},
                 {{0, 1, 4}, {0, 5, 8}, {0, 9, 9}}},
        PlanCase{"DownThenOver",
                 1,
                 5,
                 {40, 50, 60, 20},
                 {{1, 2}, {3, 4}},
                 {{0, 1, 4}, {0, 5, 5}, {1, 1, 4}, {1, 5, 5}}},
        PlanCase{"WideColumnGetsItsOwnPage",
                 1,
                 2,
                 {30, 150, 30},
                 {{1}, {2}, {3}},
                 {{0, 1, 2}, {1, 1, 2}, {2, 1, 2}}},
        PlanCase{"WideColumnFirst", 1, 2, {150, 20, 20}, {{1}, {2, 3}}, {{0, 1, 2}, {1, 1, 2}}},
        PlanCase{"RangeStartingLower", 7, 12, {30}, {{1}}, {{0, 7, 10}, {0, 11, 12}}},
        PlanCase{"NoColumnsLeft", 1, 5, {}, {{}}, {{0, 1, 4}, {0, 5, 5}}},
        PlanCase{"PaperLowerThanTwoRows",
                 1,
                 3,
                 {30},
                 {{1}},
                 {{0, 1, 1}, {0, 2, 2}, {0, 3, 3}},
                 PagePlan::Paper{100, 20}}),
    [](const auto& info) { return std::string(info.param.name); });

// What the print range, the row count and hidden columns leave to print.
struct SheetCase
{
    const char* name;
    int rows;
    int colCount;
    std::vector<int> hidden;
    CellRange range;
    int firstRow;
    int lastRow;
    Columns columns;
};

Columns span(int first, int last, Columns skip = {})
{
    Columns out;
    for (int c = first; c <= last; ++c) {
        if (std::find(skip.begin(), skip.end(), c) == skip.end())
            out.push_back(c);
    }
    return out;
}

class PagePlanSheetTest : public ::testing::TestWithParam<SheetCase>
{
};

TEST_P(PagePlanSheetTest, PrintsTheRangeWithoutHiddenColumns)
{
    const SheetCase& c = GetParam();
    ResultSheet sheet;
    for (int col = 1; col <= c.colCount; ++col)
        sheet.SetCellText(1, col, QStringLiteral("x"));
    sheet.SetRowCount(c.rows);
    for (int col : c.hidden)
        sheet.SetColumnsHidden(col, col, true);
    sheet.SetSelection(c.range.row1, c.range.col1, c.range.row2, c.range.col2);
    sheet.PrintRangeFromSelection();

    constexpr int kDigit = 7;
    const PagePlan plan = PagePlan::forSheet(sheet, {650, 930}, kDigit);
    Columns printed;
    for (const PagePlan::Column& column : plan.columns())
        printed.push_back(column.col);
    EXPECT_EQ(printed, c.columns);
    EXPECT_EQ(plan.page(0).firstRow, c.firstRow);
    EXPECT_EQ(plan.page(plan.rowPages() - 1).lastRow, c.lastRow);

    // Hiding columns changes no other column's width.
    sheet.SetColumnsHidden(1, ResultSheet::kMaxColumns, false);
    const PagePlan shown = PagePlan::forSheet(sheet, {650, 930}, kDigit);
    for (const PagePlan::Column& column : plan.columns()) {
        const auto same = std::find_if(shown.columns().begin(), shown.columns().end(),
                                       [&](const auto& other) { return other.col == column.col; });
        ASSERT_NE(same, shown.columns().end());
        EXPECT_EQ(column.width, same->width) << "column " << column.col;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PagePlanSheetTest,
    ::testing::Values(SheetCase{"EmptyTemplate", 0, 21, {}, {1, 1, 0, 21}, 1, 0, span(1, 21)},
                      SheetCase{"LoadedSheet", 30, 21, {}, {1, 1, 30, 21}, 1, 30, span(1, 21)},
                      SheetCase{"HiddenCodeColumns",
                                30,
                                21,
                                {5, 6, 7, 13, 21},
                                {1, 1, 30, 21},
                                1,
                                30,
                                span(1, 20, {5, 6, 7, 13})},
                      SheetCase{"EveryColumnHidden", 3, 21, span(1, 21), {1, 1, 3, 21}, 1, 3, {}},
                      SheetCase{
                          "RangePastTheRows", 30, 21, {}, {1, 1, 500, 21}, 1, 30, span(1, 21)},
                      SheetCase{"RangePastTheColumns", 2, 21, {}, {1, 1, 2, 40}, 1, 2, span(1, 21)},
                      SheetCase{"InnerRange", 30, 21, {4}, {10, 3, 20, 6}, 10, 20, {3, 5, 6}},
                      SheetCase{"WiderSheet", 2, 23, {22}, {1, 1, 2, 23}, 1, 2, span(1, 23, {22})}),
    [](const auto& info) { return std::string(info.param.name); });

// Any widths on any paper: every column on exactly one band, in order; a
// band overfull only when it is one column; no band that could have taken
// the next column; every row on exactly one page of each band; down, then over.
TEST(PagePlanProperties, HoldForRandomSheets)
{
    std::mt19937 random(20261208);
    for (int round = 0; round < 300; ++round) {
        std::vector<int> widths(std::uniform_int_distribution<int>(0, 30)(random));
        for (int& w : widths)
            w = std::uniform_int_distribution<int>(1, 400)(random);
        const int rows = std::uniform_int_distribution<int>(0, 500)(random);
        const int firstRow = std::uniform_int_distribution<int>(1, 50)(random);
        const PagePlan::Paper paper{std::uniform_real_distribution<double>(50, 900)(random),
                                    std::uniform_real_distribution<double>(10, 1200)(random)};
        const PagePlan plan(firstRow, firstRow + rows - 1, columnsOfWidths(widths), 30, paper);
        SCOPED_TRACE(::testing::Message() << "round " << round);

        const double room = paper.width - 30;
        int next = 0;
        for (std::size_t b = 0; b < plan.bands().size(); ++b) {
            const PagePlan::Band& band = plan.bands()[b];
            ASSERT_EQ(band.first, next);
            int width = 0;
            for (int i = band.first; i <= band.last; ++i)
                width += widths[static_cast<std::size_t>(i)];
            EXPECT_EQ(band.width, width);
            EXPECT_TRUE(width <= room || band.last == band.first);
            if (b + 1 < plan.bands().size()) {
                EXPECT_GT(width + widths[static_cast<std::size_t>(band.last + 1)], room);
            }
            next = band.last + 1;
        }
        EXPECT_EQ(next, static_cast<int>(widths.size()));

        const int bands = static_cast<int>(plan.bands().size());
        ASSERT_EQ(plan.pageCount() % bands, 0);
        const int down = plan.pageCount() / bands;
        for (int i = 0; i < plan.pageCount(); ++i) {
            const PagePlan::Page page = plan.page(i);
            EXPECT_EQ(page.band, i / down);
            // Each band restarts at the first row and runs on without gap.
            const int expectedFirst = i % down == 0 ? firstRow : plan.page(i - 1).lastRow + 1;
            EXPECT_EQ(page.firstRow, expectedFirst);
            const int pageRows = page.lastRow - page.firstRow + 1;
            EXPECT_LE((pageRows + 1) * PagePlan::kRowHeight,
                      std::max(paper.height, 2 * PagePlan::kRowHeight));
            EXPECT_TRUE(pageRows >= 1 || rows == 0);
            if (i % down == down - 1) {
                EXPECT_EQ(page.lastRow, firstRow + rows - 1);
            } else { // a full page: one row more would not have fitted
                EXPECT_GT((pageRows + 2) * PagePlan::kRowHeight, paper.height);
            }
        }
    }
}
} // namespace
