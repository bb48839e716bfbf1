#include "sheet/print/headerfooterformatter.h"
#include "tests/support/casename.h"

#include <gtest/gtest.h>

namespace {
struct FormatCase
{
    const char* name;
    QString codes;
    QString sheetName;
    QString expected;
};

class HeaderFooterFormatterTest : public ::testing::TestWithParam<FormatCase>
{
};

TEST_P(HeaderFooterFormatterTest, ExpandsCodes)
{
    const FormatCase& c = GetParam();
    EXPECT_EQ(HeaderFooterFormatter::format(c.codes, c.sheetName, 7), c.expected);
}

const QString kName = QStringLiteral("Planilhas1");

INSTANTIATE_TEST_SUITE_P(
    Cases, HeaderFooterFormatterTest,
    ::testing::Values(
        FormatCase{"SheetName", QStringLiteral("&A"), kName, kName},
        FormatCase{"PageNumber", QStringLiteral("Página &p"), kName, QStringLiteral("Página 7")},
        // An escaped "&" never pairs with the letter after it.
        FormatCase{"Escaped", QStringLiteral("&&P &&&P"), kName, QStringLiteral("&P &7")},
        // A name is printed as it is, never read as codes itself.
        FormatCase{"NameHoldingCodes", QStringLiteral("&A"), QStringLiteral("R&P"),
                   QStringLiteral("R&P")},
        FormatCase{"OtherCodesKept", QStringLiteral("&Z fim&"), kName, QStringLiteral("&Z fim&")}),
    CaseName());
} // namespace
