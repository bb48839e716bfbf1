#include "tests/support/casename.h"
#include "text/quotedfield.h"

#include <gtest/gtest.h>

#include <string>

namespace {
struct QuoteCase
{
    const char* name;
    std::string field;
    const char* specials;
    const char* lead;
    std::string written;
};

class QuotedFieldTest : public ::testing::TestWithParam<QuoteCase>
{
};

TEST_P(QuotedFieldTest, ReadsBackAsOneField)
{
    const QuoteCase& c = GetParam();
    // Appended: what came before stays.
    std::string out = "x;";
    QuotedField::append(out, c.field, c.specials, c.lead);
    EXPECT_EQ(out, "x;" + c.written);
}

constexpr const char* kCsv = ";\"\r\n";
constexpr const char* kTabs = "\t\r\n\"";

INSTANTIATE_TEST_SUITE_P(
    Cases, QuotedFieldTest,
    ::testing::Values(QuoteCase{"Empty", "", kCsv, "", ""},
                      QuoteCase{"Plain", "JOSE DA SILVA", kCsv, "", "JOSE DA SILVA"},
                      QuoteCase{"Separator", "a;b", kCsv, "", "\"a;b\""},
                      QuoteCase{"QuotesDoubled", "\"a\"\"", kCsv, "", "\"\"\"a\"\"\"\"\""},
                      QuoteCase{"CarriageReturn", "a\rb", kCsv, "", "\"a\rb\""},
                      QuoteCase{"LineFeed", "a\nb", kCsv, "", "\"a\nb\""},
                      QuoteCase{"OtherSeparatorAsItIs", "a\tb", kCsv, "", "a\tb"},
                      QuoteCase{"TabSeparated", "a\tb;c", kTabs, "", "\"a\tb;c\""},
                      QuoteCase{"LeadWithoutQuotes", "=1+1", kCsv, "'", "'=1+1"},
                      QuoteCase{"LeadInsideTheQuotes", "=\"a\";1", kCsv, "'", "\"'=\"\"a\"\";1\""}),
    CaseName());
} // namespace
