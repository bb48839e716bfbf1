#include "printcommand.h"
#include "resultsheet.h"

#include <functional>
#include <gtest/gtest.h>

namespace {
// The sheet as the handler finds it when the dialog would open.
struct AtPrint
{
    int calls = 0;
    bool showDialog = false;
    CellRange printRange;
    CellRange selection;
};

struct PrintCase
{
    const char* name;
    std::function<void(ResultSheet&)> setUp;
    CellRange printRange;
};

void loadRows(ResultSheet& sheet, int rows)
{
    for (int row = 1; row <= rows; ++row)
        sheet.SetCellText(row, 1, QString::number(row));
    sheet.SetRowCount(rows);
}

class PrintCommandTest : public ::testing::TestWithParam<std::tuple<PrintCase, bool>>
{
};

TEST_P(PrintCommandTest, PrintsTheWholeSheetAndSelectsTheFirstCell)
{
    const auto& [c, userPrints] = GetParam();
    ResultSheet sheet;
    c.setUp(sheet);
    AtPrint seen;
    sheet.SetPrintHandler([&](const ResultSheet& s, bool showDialog) {
        ++seen.calls;
        seen.showDialog = showDialog;
        seen.printRange = s.PrintRange();
        seen.selection = s.Selection();
        return userPrints;
    });

    EXPECT_EQ(PrintCommand::run(sheet), userPrints);
    EXPECT_EQ(seen.calls, 1);
    EXPECT_TRUE(seen.showDialog);
    EXPECT_EQ(seen.printRange, c.printRange);
    // The first cell is selected before the dialog opens, and stays so.
    const CellRange firstCell{1, 1, 1, 1};
    EXPECT_EQ(seen.selection, firstCell);
    EXPECT_EQ(sheet.Selection(), firstCell);
    EXPECT_EQ(sheet.PrintRange(), c.printRange);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrintCommandTest,
    ::testing::Combine(
        ::testing::Values(
            // No rows: the headings alone.
            PrintCase{"BeforeAnyImport", [](ResultSheet&) {}, {1, 1, 0, 21}},
            PrintCase{"LoadedRows", [](ResultSheet& s) { loadRows(s, 30); }, {1, 1, 30, 21}},
            PrintCase{"EveryRowDeleted",
                      [](ResultSheet& s) {
                          loadRows(s, 5);
                          s.SetRowCount(0);
                      },
                      {1, 1, 0, 21}},
            PrintCase{"WiderThanTheTemplate",
                      [](ResultSheet& s) {
                          s.SetCellText(2, 23, QStringLiteral("extra"));
                          s.SetRowCount(3);
                      },
                      {1, 1, 3, 23}},
            // Whatever was selected or printed before does not narrow the printout.
            PrintCase{"EarlierSelectionAndRange",
                      [](ResultSheet& s) {
                          loadRows(s, 10);
                          s.SetSelection(4, 2, 6, 9);
                          s.PrintRangeFromSelection();
                          s.SetSelection(7, 3, 8, 3);
                      },
                      {1, 1, 10, 21}},
            PrintCase{"HiddenColumnsStayInTheRange",
                      [](ResultSheet& s) {
                          loadRows(s, 4);
                          s.SetColumnsHidden(5, 21, true);
                      },
                      {1, 1, 4, 21}}),
        ::testing::Bool()),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) +
               (std::get<1>(info.param) ? "_Printed" : "_Cancelled");
    });

TEST(PrintCommandWithoutPrinting, FailsQuietlyWithTheRangeSet)
{
    ResultSheet sheet;
    loadRows(sheet, 3);
    EXPECT_FALSE(PrintCommand::run(sheet));
    EXPECT_EQ(sheet.PrintRange(), (CellRange{1, 1, 3, 21}));
    EXPECT_EQ(sheet.Selection(), (CellRange{1, 1, 1, 1}));
}
} // namespace
