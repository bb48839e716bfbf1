#include "processing/printcommand.h"
#include "sheet/resultsheet.h"

#include <gtest/gtest.h>

namespace {
struct PrintCase
{
    const char* name;
    int rows;
    int widestColumn; // a cell written there; 0: none
    CellRange printRange;
};

class PrintCommandTest : public ::testing::TestWithParam<std::tuple<PrintCase, bool>>
{
};

TEST_P(PrintCommandTest, PrintsTheWholeSheetFromTheFirstCell)
{
    const auto& c = std::get<0>(GetParam());
    const bool userPrints = std::get<1>(GetParam());
    ResultSheet sheet;
    if (c.widestColumn > 0)
        sheet.SetCellText(1, c.widestColumn, QStringLiteral("x"));
    sheet.SetRowCount(c.rows);
    // Whatever was selected or printed before does not narrow the printout.
    sheet.SetSelection(2, 2, 3, 3);
    sheet.PrintRangeFromSelection();
    int calls = 0;
    sheet.SetPrintHandler([&](const ResultSheet& s, bool showDialog) {
        ++calls;
        EXPECT_TRUE(showDialog);
        EXPECT_EQ(s.PrintRange(), c.printRange);
        EXPECT_EQ(s.Selection(), (CellRange{1, 1, 1, 1}));
        return userPrints;
    });

    EXPECT_EQ(PrintCommand::run(sheet), userPrints);
    EXPECT_EQ(calls, 1);
    // Printed or cancelled, the first cell stays selected.
    EXPECT_EQ(sheet.Selection(), (CellRange{1, 1, 1, 1}));
}

INSTANTIATE_TEST_SUITE_P(Cases, PrintCommandTest,
                         ::testing::Combine(::testing::Values(
                                                // No rows: the headings alone.
                                                PrintCase{"NoRows", 0, 0, {1, 1, 0, 21}},
                                                PrintCase{"Loaded", 30, 0, {1, 1, 30, 21}},
                                                PrintCase{
                                                    "WiderThanTheTemplate", 3, 23, {1, 1, 3, 23}}),
                                            ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "Printed" : "Cancelled");
                         });
} // namespace
