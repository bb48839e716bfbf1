#include "processing/returnfileparser.h"
#include "tests/support/casename.h"

#include <gtest/gtest.h>

namespace {
using Result = ReturnFileParser::LineResult;

struct ParserCase
{
    const char* name;
    std::string line;
    Result result;
    std::string name_; // column 3's text when added
};

class ParserLine : public ::testing::TestWithParam<ParserCase>
{
};

// Only added lines make a row, each decoded on its own.
TEST_P(ParserLine, AddsOnlyWorkerLines)
{
    const ParserCase& c = GetParam();
    ReturnFileParser parser;
    EXPECT_EQ(parser.addLine(c.line), c.result);
    EXPECT_EQ(parser.rows(), c.result == Result::Added ? 1 : 0);
    EXPECT_EQ(parser.columns(), 21);
    if (c.result == Result::Added) {
        const CellStore cells = parser.takeCells();
        EXPECT_EQ(cells.utf8(cells.handle(0, 2)), c.name_);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParserLine,
    ::testing::Values(ParserCase{"Empty", "", Result::Blank, ""},
                      ParserCase{"SpacesAndTabs", " \t \t", Result::Blank, ""},
                      ParserCase{"BomAlone", "\xEF\xBB\xBF ", Result::Blank, ""},
                      ParserCase{"NotBlankVerticalTab", "\x0b", Result::Added, ""},
                      ParserCase{"NotBlankNul", std::string(1, '\0'), Result::Added, ""},
                      ParserCase{"Utf8", "1;2;JOSÉ;1", Result::Added, "JOSÉ"},
                      ParserCase{"Windows1252", "1;2;JOS\xC9;1", Result::Added, "JOSÉ"},
                      ParserCase{"BomDropped",
                                 "\xEF\xBB\xBF"
                                 "1;2;JOSÉ",
                                 Result::Added, "JOSÉ"},
                      ParserCase{"BomDroppedBeforeWindows1252",
                                 "\xEF\xBB\xBF"
                                 "1;2;JOS\xC9",
                                 Result::Added, "JOSÉ"}),
    CaseName());
} // namespace
