#include "sheet/resultsheet.h"
#include "tests/support/casename.h"
#include "tools/sheetdump.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace {
std::string written(const ResultSheet& sheet, bool summaryOnly)
{
    std::FILE* out = std::tmpfile();
    SheetDump::write(sheet, out, summaryOnly);
    std::string text(static_cast<std::size_t>(std::ftell(out)), '\0');
    std::rewind(out);
    text.resize(std::fread(text.data(), 1, text.size(), out));
    std::fclose(out);
    return text;
}

struct DumpCase
{
    const char* name;
    std::function<void(ResultSheet&)> setUp;
    std::string summary;
    std::string firstRow; // its first three cells
};

class SheetDumpTest : public ::testing::TestWithParam<DumpCase>
{
};

TEST_P(SheetDumpTest, WritesCountsHiddenColumnsAndEscapedCells)
{
    ResultSheet sheet;
    sheet.SetRowCount(2);
    GetParam().setUp(sheet);
    const std::string summary = written(sheet, true);
    const std::string full = written(sheet, false);
    EXPECT_EQ(summary, GetParam().summary);
    ASSERT_EQ(full.substr(0, summary.size()), summary);
    const std::string row = GetParam().firstRow + std::string(sheet.ColCount() - 3, '\t') + '\n';
    EXPECT_EQ(full.substr(summary.size()), row + std::string(sheet.ColCount() - 1, '\t') + '\n');
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SheetDumpTest,
    ::testing::Values(DumpCase{"Fresh", [](ResultSheet&) {}, "ROWS 2\nCOLS 21\nHIDDEN \n", "\t\t"},
                      DumpCase{"HiddenColumns",
                               [](ResultSheet& s) {
                                   s.SetColumnsHidden(5, 7, true);
                                   s.SetColumnsHidden(6, 6, false);
                                   s.SetColumnsHidden(21, 21, true);
                               },
                               "ROWS 2\nCOLS 21\nHIDDEN 5,7,21\n", "\t\t"},
                      DumpCase{"HiddenWideColumn",
                               [](ResultSheet& s) {
                                   s.SetCellText(2, 30, QString());
                                   s.SetColumnsHidden(30, 30, true);
                               },
                               "ROWS 2\nCOLS 30\nHIDDEN 30\n", "\t\t"},
                      DumpCase{"Escapes",
                               [](ResultSheet& s) {
                                   s.SetCellText(1, 1, QStringLiteral("a\tb"));
                                   s.SetCellText(1, 2, QStringLiteral("C:\\x\\"));
                                   s.SetCellText(1, 3, QStringLiteral("\\t ção"));
                               },
                               "ROWS 2\nCOLS 21\nHIDDEN \n", "a\\tb\tC:\\\\x\\\\\t\\\\t ção"}),
    CaseName());
} // namespace
