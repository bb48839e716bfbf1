#include "processing/returnfileparser.h"
#include "tests/support/casename.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

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

// The shortcut that reads the sixteen one-character check codes at once
// gives every line the cells the field-by-field reading gives it: random
// lines, mostly of one-character codes (so the shortcut is taken), with
// codes that are ";" or longer, fields missing or added, at every length.
TEST(ReturnFileParser, ShortcutAgreesWithReadingFieldByField)
{
    std::mt19937 random(20261208);
    const std::vector<std::string> codes = {"0", "0", "0",  "0", "1",       "9",
                                            "a", "",  "00", " ", "\xC3\xA3"};
    auto pick = [&](const std::vector<std::string>& from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
    };
    ReturnFileParser shortcut;
    ReturnFileParser fieldByField(ReturnFileParser::Checks::FieldByField);
    std::vector<std::string> lines;
    for (int n = 0; n < 20'000; ++n) {
        std::string line = "12345678901;10987654321;JO\xC3\x83O;01011980";
        const bool oneCharacter = random() % 4 != 0;
        const int fields = random() % 8 == 0 ? static_cast<int>(random() % 24) : 17;
        for (int k = 0; k < fields; ++k) {
            line.push_back(';');
            if (oneCharacter && k < 16)
                line.push_back("0000019a;"[random() % 9]);
            else
                line.append(pick(codes));
        }
        lines.push_back(line);
        ASSERT_EQ(shortcut.addLine(line), fieldByField.addLine(line)) << line;
    }
    ASSERT_EQ(shortcut.columns(), fieldByField.columns());
    const CellStore a = shortcut.takeCells();
    const CellStore b = fieldByField.takeCells();
    ASSERT_EQ(a.rows(), b.rows());
    for (int row = 0; row < a.rows(); ++row) {
        for (int col = 0; col < 30; ++col)
            ASSERT_EQ(a.utf8(a.handle(row, col)), b.utf8(b.handle(row, col)))
                << lines[static_cast<std::size_t>(row)] << " column " << col + 1;
    }
}
} // namespace
