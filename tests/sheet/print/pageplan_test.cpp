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
    int frozen = 0;                          // columns 1 to frozen are the titles
    int yields = 0;                          // the title that gives way first, if any
    std::vector<Columns> printedWidths = {}; // when given, each band's widths as printed
    int paperWidth = 100;
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
            (col <= c.frozen ? titles : columns).push_back({col, c.widths[i], col == c.yields});
    }
    columns.insert(columns.begin(), titles.begin(), titles.end());
    const PagePlan plan(1, c.rows, columns, PagePlan::rowHeadingWidth(c.rows, 5),
                        {static_cast<double>(c.paperWidth), 5 * PagePlan::kRowHeight}, titles);

    std::vector<Columns> bands, widths;
    for (const PagePlan::Band& band : plan.bands()) {
        bands.emplace_back();
        widths.emplace_back();
        int width = 0;
        for (const PagePlan::Column& column : plan.columnsOf(band)) {
            bands.back().push_back(column.col);
            widths.back().push_back(column.width);
            width += column.width;
            // A column printed narrower wraps its text, and only then.
            const int full = c.widths[static_cast<std::size_t>(column.col - 1)];
            EXPECT_LE(column.width, full);
            EXPECT_EQ(column.wraps, column.width < full) << column.col;
        }
        // Only a column wider than any page leaves it.
        EXPECT_TRUE(width <= c.paperWidth - 25 || (band.first == band.last && band.titles == 0))
            << width;
    }
    EXPECT_EQ(bands, c.bands);
    if (!c.printedWidths.empty()) {
        EXPECT_EQ(widths, c.printedWidths);
    }
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
        // A column too wide beside the titles wraps within what they leave.
        PlanCase{"WideColumnWrapsBesideTheTitles",
                 2,
                 {10, 30, 50},
                 {},
                 {{1, 2}, {1, 2, 3}},
                 {{0, 1, 2}, {1, 1, 2}},
                 2,
                 0,
                 {{10, 30}, {10, 30, 35}}},
        // On paper too narrow for the titles, or for them and a third of
        // the room beside them once NIS gave way, the last titles narrow and
        // wrap too; none that stays is left out, nor parted from the others.
        PlanCase{"TitlesNarrowOnNarrowPaper",
                 2,
                 {40, 40, 60, 100},
                 {},
                 {{1, 2, 3}, {1, 3, 4}},
                 {{0, 1, 2}, {1, 1, 2}},
                 3,
                 2,
                 {{40, 40, 55}, {40, 50, 45}},
                 160},
        // A4 portrait's room with the template's CPF, NIS, NOME, DN and
        // checks of 224, 400 and 614: NIS gives way to a check that would
        // keep less than a third of the room beside the three, and the check
        // prints whole or wraps; CPF and NOME stay beside every check.
        PlanCase{"NisGivesWayCpfAndNomeStay",
                 2,
                 {89, 89, 292, 66, 224, 400, 614},
                 {},
                 {{1, 2, 3, 4}, {1, 3, 5}, {1, 3, 6}, {1, 3, 7}},
                 {{0, 1, 2}, {1, 1, 2}, {2, 1, 2}, {3, 1, 2}},
                 3,
                 2,
                 {{89, 89, 292, 66}, {89, 292, 224}, {89, 292, 239}, {89, 292, 239}},
                 645},
        // Landscape's room keeps the three beside the widest orientation.
        PlanCase{"LandscapeKeepsAllThree",
                 2,
                 {89, 89, 292, 66, 400, 614},
                 {},
                 {{1, 2, 3, 4, 5}, {1, 2, 3, 6}},
                 {{0, 1, 2}, {1, 1, 2}},
                 3,
                 2,
                 {{89, 89, 292, 66, 400}, {89, 89, 292, 483}},
                 978}),
    CaseName());

// Down a band whose text wraps, each page holds the rows whose heights fit
// under the headings; a row taller than the room has a page to itself, cut
// to it. The band of unwrapped columns keeps four rows a page.
TEST(PagePlanWrapped, PaginatesRowsByTheirHeight)
{
    const std::vector<int> lines = {1, 2, 1, 3, 1, 1, 4, 1, 6};
    const int rows = static_cast<int>(lines.size());
    std::vector<std::vector<PagePlan::Column>> asked;
    const PagePlan::RowHeight height = [&](int row, const std::vector<PagePlan::Column>& printed) {
        asked.push_back(printed);
        return PagePlan::kRowHeight * lines[static_cast<std::size_t>(row - 1)];
    };
    const PagePlan plan(1, rows, {{1, 20}, {2, 100}}, 25, {100, 5 * PagePlan::kRowHeight},
                        {{1, 20}}, height);

    Pages pages;
    for (int i = 0; i < plan.pageCount(); ++i) {
        const PagePlan::Page page = plan.page(i);
        pages.emplace_back(page.band, page.firstRow, page.lastRow);
    }
    EXPECT_EQ(pages, (Pages{{0, 1, 4},
                            {0, 5, 8},
                            {0, 9, 9},
                            {1, 1, 3},
                            {1, 4, 5},
                            {1, 6, 6},
                            {1, 7, 7},
                            {1, 8, 8},
                            {1, 9, 9}}));
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.front().back().col, 2);
    EXPECT_TRUE(asked.front().back().wraps);
    EXPECT_EQ(plan.rowHeight(plan.bands()[0], 2), PagePlan::kRowHeight);
    EXPECT_EQ(plan.rowHeight(plan.bands()[1], 2), 2 * PagePlan::kRowHeight);
    EXPECT_EQ(plan.rowHeight(plan.bands()[1], 9), 4 * PagePlan::kRowHeight);
}

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
