#include "processing/importcommand.h"
#include "processing/optimizecommand.h"
#include "sheet/resultsheet.h"
#include "tests/support/casename.h"
#include "tests/support/testfiles.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {
// A worker line: CPF = id, every code "0" unless overridden by column; a
// column mapped to nullptr ends the line before it.
std::string worker(const std::string& id, const std::map<int, const char*>& fields = {})
{
    std::string line;
    for (int col = 1; col <= 21; ++col) {
        const auto it = fields.find(col);
        if (it != fields.end() && it->second == nullptr)
            break;
        if (col > 1)
            line += ';';
        if (it != fields.end())
            line += it->second;
        else if (col == 1)
            line += id;
        else if (col <= 4)
            line += "x";
        else
            line += '0';
    }
    for (const auto& [col, text] : fields) {
        if (col > 21)
            line += std::string(";") + text;
    }
    return line + "\r\n";
}

struct OptimizeCase
{
    const char* name;
    std::vector<std::string> workers;
    std::vector<std::string> remaining; // CPFs of the rows left, in order
    std::vector<int> hidden;
};

class OptimizeTest : public ::testing::TestWithParam<OptimizeCase>
{
protected:
    TestFiles files;
    ResultSheet sheet;

    QString load(const std::vector<std::string>& workers)
    {
        std::string text = "header\r\n";
        for (const auto& line : workers)
            text += line;
        const QString path = files.write(QStringLiteral("retorno.txt"), text);
        EXPECT_TRUE(ImportCommand::run(path, sheet).succeeded());
        return path;
    }

    std::vector<std::string> cpfs() const
    {
        std::vector<std::string> result;
        for (int row = 1; row <= sheet.RowCount(); ++row)
            result.emplace_back(sheet.CellUtf8(row, 1));
        return result;
    }

    std::vector<int> hiddenColumns() const
    {
        std::vector<int> result;
        for (int col = 1; col <= ResultSheet::kMaxColumns; ++col) {
            if (sheet.IsColumnHidden(col))
                result.push_back(col);
        }
        return result;
    }
};

std::vector<int> columnsExcept(std::vector<int> except)
{
    std::vector<int> result;
    for (int col = 5; col <= 21; ++col) {
        if (std::find(except.begin(), except.end(), col) == except.end())
            result.push_back(col);
    }
    return result;
}

TEST_P(OptimizeTest, KeepsTheProblemsOnly)
{
    const OptimizeCase& c = GetParam();
    const QString path = load(c.workers);
    const CommandOutcome outcome = OptimizeCommand::run(path, sheet);
    ASSERT_TRUE(outcome.succeeded());
    EXPECT_EQ(outcome.rows, static_cast<int>(c.remaining.size()));
    EXPECT_EQ(sheet.RowCount(), static_cast<int>(c.remaining.size()));
    EXPECT_EQ(cpfs(), c.remaining);
    EXPECT_EQ(hiddenColumns(), c.hidden);
    EXPECT_EQ(sheet.Selection(), (CellRange{1, 1, 1, 1}));
    EXPECT_FALSE(sheet.AllowEditing());
    // Rows past the new end read as empty.
    EXPECT_TRUE(sheet.CellText(sheet.RowCount() + 1, 1).isEmpty());

    // A second run changes nothing more.
    const auto rowsBefore = cpfs();
    OptimizeCommand::run(path, sheet);
    EXPECT_EQ(cpfs(), rowsBefore);
    EXPECT_EQ(hiddenColumns(), c.hidden);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OptimizeTest,
    ::testing::Values(
        // A message, then two passing rows: both go, the last one after it
        // has moved up into the examined position.
        OptimizeCase{"WorkedExample",
                     {worker("A", {{5, "1"}}), worker("B"), worker("C")},
                     {"A"},
                     columnsExcept({5})},
        OptimizeCase{"NoRows", {}, {}, {}},
        OptimizeCase{"EveryRowPasses", {worker("A"), worker("B"), worker("C")}, {}, {}},
        OptimizeCase{"NoRowPasses",
                     {worker("A", {{5, "1"}}), worker("B", {{6, "1"}}), worker("C", {{21, "2"}})},
                     {"A", "B", "C"},
                     columnsExcept({5, 6, 21})},
        // A short line leaves its code cells empty: not "OK", so the row
        // stays, and the rows below are still examined.
        OptimizeCase{
            "ShortLineStaysAndRowsBelowAreExamined",
            {worker("A"), worker("S", {{5, nullptr}}), worker("B"), worker("C", {{9, "1"}})},
            {"S", "C"},
            {}},
        // An empty cell keeps its column visible without ending the pass
        // over the later columns.
        OptimizeCase{"EmptyCellKeepsOnlyItsColumn",
                     {worker("A", {{21, ""}}), worker("B", {{8, "1"}})},
                     {"A", "B"},
                     columnsExcept({8, 21})},
        OptimizeCase{"EmptyCellInMiddleColumn",
                     {worker("A", {{12, "1"}, {21, "4"}})},
                     {"A"},
                     columnsExcept({12, 21})},
        // "OK" is exact: another case or a trailing space is a problem.
        OptimizeCase{"OkIsCaseSensitive",
                     {worker("A", {{21, "ok"}}), worker("B", {{21, "OK "}}), worker("C")},
                     {"A", "B"},
                     columnsExcept({21})},
        // A raw "OK" in the orientation column reads like the translated one.
        OptimizeCase{"RawOkCounts",
                     {worker("A", {{21, "OK"}}), worker("B", {{7, "1"}})},
                     {"B"},
                     columnsExcept({7})},
        // Columns 1 to 4 and past 21 are never examined nor hidden.
        OptimizeCase{"IdentityAndExtraColumnsIgnored",
                     {worker("A", {{2, ""}, {3, ""}, {22, "extra"}}), worker("B", {{10, "1"}})},
                     {"B"},
                     columnsExcept({10})}),
    CaseName());

struct PathCase
{
    const char* name;
    bool empty;
    CommandMessage expected;
};

class OptimizePathTest : public ::testing::TestWithParam<PathCase>
{
};

TEST_P(OptimizePathTest, LeavesTheSheetUntouchedAfterAMessage)
{
    TestFiles files;
    ResultSheet sheet;
    const QString path = files.write(QStringLiteral("r.txt"), "h\n" + worker("A") + worker("B"));
    ASSERT_TRUE(ImportCommand::run(path, sheet).succeeded());
    sheet.SetSelection(2, 3, 2, 3);
    QSignalSpy resets(&sheet, &ResultSheet::sheetReset);
    QSignalSpy hides(&sheet, &ResultSheet::columnsHiddenChanged);

    const QString given = GetParam().empty ? QString() : files.path(QStringLiteral("missing.txt"));
    EXPECT_EQ(OptimizeCommand::run(given, sheet).message, GetParam().expected);
    EXPECT_EQ(sheet.RowCount(), 2);
    EXPECT_EQ(sheet.CellText(2, 1), QStringLiteral("B"));
    EXPECT_EQ(sheet.Selection(), (CellRange{2, 3, 2, 3}));
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(hides.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, OptimizePathTest,
                         ::testing::Values(PathCase{"Empty", true, CommandMessage::SelectFile},
                                           PathCase{"Missing", false,
                                                    CommandMessage::FileNotFound}),
                         CaseName());

TEST(OptimizeCommandTest, NeverShowsAColumnAgain)
{
    TestFiles files;
    ResultSheet sheet;
    const QString path = files.write(QStringLiteral("r.txt"), "h\n" + worker("A", {{5, "1"}}));
    ASSERT_TRUE(ImportCommand::run(path, sheet).succeeded());
    sheet.SetColumnsHidden(5, 5, true);
    OptimizeCommand::run(path, sheet);
    EXPECT_TRUE(sheet.IsColumnHidden(5));
}

TEST(OptimizeCommandTest, TellsTheViewsOnceForAllDeletions)
{
    TestFiles files;
    ResultSheet sheet;
    std::string text = "h\n";
    for (int i = 0; i < 500; ++i)
        text += worker(std::to_string(i), i % 50 == 0 ? std::map<int, const char*>{{9, "1"}}
                                                      : std::map<int, const char*>{});
    const QString path = files.write(QStringLiteral("r.txt"), text);
    ASSERT_TRUE(ImportCommand::run(path, sheet).succeeded());
    QSignalSpy resets(&sheet, &ResultSheet::sheetReset);
    EXPECT_EQ(OptimizeCommand::run(path, sheet).rows, 10);
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(sheet.CellText(10, 1), QStringLiteral("450"));
}
} // namespace
