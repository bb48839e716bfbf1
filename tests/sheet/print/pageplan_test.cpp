#include "sheet/print/pageplan.h"
#include "sheet/resultsheet.h"
#include "tests/support/casename.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {
using Columns = std::vector<int>;
// (band, firstRow, lastRow) of each page in printing order.
using Pages = std::vector<std::tuple<int, int, int>>;

struct PlanCase
{
    const char* name;
    int rows;
    Columns widths; // of columns 1, 2, ...
    Columns hidden;
    std::vector<Columns> bands; // the titles a band repeats, then its own columns
    Pages pages;
    int frozen = 0; // columns 1 to frozen are the titles
};

class PagePlanTest : public ::testing::TestWithParam<PlanCase>
{
};

// Paper 100 wide: with the row headings (forRange makes them 3 digits of 5
// plus 2 x 5 padding = 25) 75 remain for columns. 5 rows high: the column
// headings and 4 rows a page.
TEST_P(PagePlanTest, PlacesRowsAndColumns)
{
    const PlanCase& c = GetParam();
    ResultSheet sheet;
    sheet.SetRowCount(c.rows);
    for (int col : c.hidden)
        sheet.SetColumnsHidden(col, col, true);
    std::vector<PagePlan::Column> columns, titles;
    for (std::size_t i = 0; i < c.widths.size(); ++i) {
        const int col = static_cast<int>(i) + 1;
        if (!sheet.IsColumnHidden(col))
            (col <= c.frozen ? titles : columns).push_back({col, c.widths[i]});
    }
    columns.insert(columns.begin(), titles.begin(), titles.end());
    const PagePlan plan(1, c.rows, columns, PagePlan::rowHeadingWidth(c.rows, 5),
                        {100, 5 * PagePlan::kRowHeight}, titles);

    std::vector<Columns> bands;
    for (const PagePlan::Band& band : plan.bands()) {
        bands.emplace_back();
        int width = 0;
        for (const PagePlan::Column& column : plan.columnsOf(band)) {
            bands.back().push_back(column.col);
            width += column.width;
            // A title may make room, but keeps at least half of itself.
            const int full = c.widths[static_cast<std::size_t>(column.col - 1)];
            EXPECT_LE(column.width, full);
            EXPECT_GE(2 * column.width, full);
        }
        // Only a column wider than any page leaves it.
        EXPECT_TRUE(width <= 75 || (band.first == band.last && band.titles == 0)) << width;
    }
    EXPECT_EQ(bands, c.bands);
    Pages pages;
    for (int i = 0; i < plan.pageCount(); ++i) {
        const PagePlan::Page page = plan.page(i);
        pages.emplace_back(page.band, page.firstRow, page.lastRow);
    }
    EXPECT_EQ(pages, c.pages);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PagePlanTest,
    ::testing::Values(
        PlanCase{"NoRowsPrintsTheHeadings", 0, {40, 40}, {}, {{1}, {2}}, {{0, 1, 0}, {1, 1, 0}}},
        PlanCase{"ExactFit", 8, {25, 25, 25}, {}, {{1, 2, 3}}, {{0, 1, 4}, {0, 5, 8}}},
        PlanCase{"OneRowMore", 9, {25, 25, 25}, {}, {{1, 2, 3}}, {{0, 1, 4}, {0, 5, 8}, {0, 9, 9}}},
        PlanCase{"DownThenOver",
                 5,
                 {30, 45, 50, 20},
                 {},
                 {{1, 2}, {3, 4}},
                 {{0, 1, 4}, {0, 5, 5}, {1, 1, 4}, {1, 5, 5}}},
        PlanCase{"HiddenColumnTakesNoRoom", 2, {30, 70, 45}, {2}, {{1, 3}}, {{0, 1, 2}}},
        PlanCase{"WideColumnAlone",
                 2,
                 {30, 150, 30},
                 {},
                 {{1}, {2}, {3}},
                 {{0, 1, 2}, {1, 1, 2}, {2, 1, 2}}},
        PlanCase{"EveryColumnHidden", 2, {30, 30}, {1, 2}, {{}}, {{0, 1, 2}}},
        // The titles take their room on every band but the one they start.
        PlanCase{"TitlesLeftOfEveryLaterBand",
                 2,
                 {20, 20, 30, 30, 30},
                 {},
                 {{1, 2, 3}, {1, 2, 4}, {1, 2, 5}},
                 {{0, 1, 2}, {1, 1, 2}, {2, 1, 2}},
                 2},
        PlanCase{"HiddenTitleNotRepeated",
                 2,
                 {20, 20, 30, 30},
                 {2},
                 {{1, 3}, {1, 4}},
                 {{0, 1, 2}, {1, 1, 2}},
                 2},
        PlanCase{"TitlesMakeRoomForAWideColumn",
                 2,
                 {20, 70, 30},
                 {},
                 {{1}, {2}, {1, 3}},
                 {{0, 1, 2}, {1, 1, 2}, {2, 1, 2}},
                 3},
        PlanCase{"LastTitleCutBesideAWideColumn",
                 2,
                 {10, 30, 50},
                 {},
                 {{1, 2}, {1, 2, 3}},
                 {{0, 1, 2}, {1, 1, 2}},
                 2}),
    CaseName());

TEST(PagePlanForSheet, PrintsTheRangeWithinTheSheet)
{
    ResultSheet sheet;
    sheet.SetCellText(1, 23, QStringLiteral("x"));
    sheet.SetRowCount(30);
    sheet.SetColumnsHidden(4, 20, true);
    sheet.SetSelection(2, 1, 500, 40);
    sheet.PrintRangeFromSelection();
    const PagePlan plan = PagePlan::forRange(sheet, sheet.PrintRange(), {650, 930}, 7);
    Columns printed;
    for (const PagePlan::Column& column : plan.columns())
        printed.push_back(column.col);
    EXPECT_EQ(printed, (Columns{1, 2, 3, 21, 22, 23}));
    EXPECT_EQ(plan.page(0).firstRow, 2);
    EXPECT_EQ(plan.page(plan.rowPages() - 1).lastRow, 30);
}
} // namespace
