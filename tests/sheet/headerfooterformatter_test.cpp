#include "headerfooterformatter.h"

#include <gtest/gtest.h>

namespace {
struct FormatCase
{
    const char* name;
    QString codes;
    QString sheetName;
    int page;
    QString expected;
};

class HeaderFooterFormatterTest : public ::testing::TestWithParam<FormatCase>
{
};

TEST_P(HeaderFooterFormatterTest, ExpandsCodes)
{
    const FormatCase& c = GetParam();
    EXPECT_EQ(HeaderFooterFormatter::format(c.codes, c.sheetName, c.page), c.expected);
}

const QString kName = QStringLiteral("Planilhas1");

INSTANTIATE_TEST_SUITE_P(
    Cases, HeaderFooterFormatterTest,
    ::testing::Values(
        FormatCase{"SheetName", QStringLiteral("&A"), kName, 1, kName},
        FormatCase{"PageNumber", QStringLiteral("Página &P"), kName, 12,
                   QStringLiteral("Página 12")},
        FormatCase{"LowerCaseCodes", QStringLiteral("&a/&p"), kName, 3,
                   QStringLiteral("Planilhas1/3")},
        FormatCase{"LiteralAmpersand", QStringLiteral("A && B"), kName, 1, QStringLiteral("A & B")},
        // The escaped "&" must not pair with the letter after it.
        FormatCase{"EscapedBeforeLetter", QStringLiteral("&&P&&A"), kName, 7,
                   QStringLiteral("&P&A")},
        FormatCase{"EscapedThenCode", QStringLiteral("&&&P"), kName, 7, QStringLiteral("&7")},
        // A name is printed as it is, never read as codes itself.
        FormatCase{"NameHoldingCodes", QStringLiteral("&A &P"), QStringLiteral("R&P"), 2,
                   QStringLiteral("R&P 2")},
        FormatCase{"UnknownCodeKept", QStringLiteral("&Z&1"), kName, 1, QStringLiteral("&Z&1")},
        FormatCase{"TrailingAmpersand", QStringLiteral("fim&"), kName, 1, QStringLiteral("fim&")},
        FormatCase{"NoCodes", QStringLiteral("Relatório"), kName, 1, QStringLiteral("Relatório")},
        FormatCase{"Empty", QString(), kName, 1, QString()}),
    [](const auto& info) { return std::string(info.param.name); });
} // namespace
