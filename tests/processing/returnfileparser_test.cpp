#include "processing/returnfileparser.h"
#include "tests/support/casename.h"

#include <gtest/gtest.h>

namespace {
using Encoding = ReturnFileParser::Encoding;
using Result = ReturnFileParser::LineResult;

struct ParserCase
{
    const char* name;
    std::string line;
    Encoding encoding;
    Result result;
};

class ParserLine : public ::testing::TestWithParam<ParserCase>
{
};

// Only added lines make a row; a line that is not UTF-8 leaves the rows alone
// so that the caller can start over.
TEST_P(ParserLine, AddsOnlyWorkerLines)
{
    const ParserCase& c = GetParam();
    ReturnFileParser parser(c.encoding);
    EXPECT_EQ(parser.addLine(c.line), c.result);
    EXPECT_EQ(parser.rows(), c.result == Result::Added ? 1 : 0);
    EXPECT_EQ(parser.columns(), 21);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParserLine,
    ::testing::Values(ParserCase{"Empty", "", Encoding::Utf8, Result::Blank},
                      ParserCase{"SpacesAndTabs", " \t \t", Encoding::Utf8, Result::Blank},
                      ParserCase{"NotBlankVerticalTab", "\x0b", Encoding::Utf8, Result::Added},
                      ParserCase{"NotBlankNul", std::string(1, '\0'), Encoding::Utf8,
                                 Result::Added},
                      ParserCase{"Utf8", "JOSÉ;1", Encoding::Utf8, Result::Added},
                      ParserCase{"NotUtf8", "JOS\xC9;1", Encoding::Utf8, Result::NotUtf8},
                      ParserCase{"Windows1252", "JOS\xC9;1", Encoding::Windows1252, Result::Added},
                      ParserCase{"BlankInWindows1252", "  ", Encoding::Windows1252, Result::Blank}),
    CaseName());
} // namespace
