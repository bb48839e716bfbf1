#include "processing/del.h"
#include "tests/support/casename.h"

#include <gtest/gtest.h>

#include <limits>

namespace {
struct DelCase
{
    const char* name;
    QString alfa;
    qint16 inicio;
    qint16 qtde;
    QString expected;
};

class DelTest : public ::testing::TestWithParam<DelCase>
{
};

TEST_P(DelTest, CutsTheText)
{
    const DelCase& c = GetParam();
    QString alfa = c.alfa;
    Del(alfa, c.inicio, c.qtde);
    EXPECT_EQ(alfa, c.expected);
}

constexpr qint16 kMax16 = std::numeric_limits<qint16>::max();

INSTANTIATE_TEST_SUITE_P(
    Cases, DelTest,
    ::testing::Values(
        DelCase{"FieldAndSeparator", QStringLiteral("abc;def"), 1, 4, QStringLiteral("def")},
        DelCase{"QtdeZero", QStringLiteral("abc;def"), 1, 0, QStringLiteral("abc;def")},
        DelCase{"InicioZero", QStringLiteral("abc;def"), 0, 4, QStringLiteral("abc;def")},
        DelCase{"NegativeQtde", QStringLiteral("abc;def"), 1, -2, QStringLiteral("abc;def")},
        DelCase{"Middle", QStringLiteral("abc;def"), 3, 2, QStringLiteral("abdef")},
        DelCase{"PastTheEnd", QStringLiteral("abc"), 2, 10, QStringLiteral("a")},
        DelCase{"StartBeyondText", QStringLiteral("abc"), 5, 1, QStringLiteral("abc")},
        DelCase{"WholeText", QStringLiteral("abc"), 1, 3, QString()},
        DelCase{"Accents", QStringLiteral("ção;x"), 1, 4, QStringLiteral("x")},
        DelCase{"SumAtLimit", QStringLiteral("abc"), 1, kMax16 - 1, QString()},
        DelCase{"SumOverflows", QStringLiteral("abc"), 1, kMax16, QStringLiteral("abc")},
        DelCase{"BothLarge", QStringLiteral("abc"), kMax16, kMax16, QStringLiteral("abc")}),
    CaseName());

struct ViewCase
{
    const char* name;
    std::string_view alfa;
    qsizetype inicio;
    qsizetype qtde;
    std::string_view expected;
    bool expressible;
};

class DelViewTest : public ::testing::TestWithParam<ViewCase>
{
};

TEST_P(DelViewTest, CutsTheViewWithoutCopying)
{
    const ViewCase& c = GetParam();
    std::string_view alfa = c.alfa;
    EXPECT_EQ(Del(alfa, c.inicio, c.qtde), c.expressible);
    EXPECT_EQ(alfa, c.expected);
    if (!alfa.empty() && c.inicio == 1) {
        EXPECT_EQ(alfa.data() + alfa.size(), c.alfa.data() + c.alfa.size());
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, DelViewTest,
                         ::testing::Values(ViewCase{"Front", "abc;def", 1, 4, "def", true},
                                           ViewCase{"QtdeZero", "abc;def", 1, 0, "abc;def", true},
                                           ViewCase{"InicioZero", "abc;def", 0, 4, "abc;def", true},
                                           ViewCase{"Tail", "abc;def", 4, 9, "abc", true},
                                           ViewCase{"Middle", "abc;def", 3, 2, "abc;def", false},
                                           ViewCase{"PastTheEnd", "abc", 1, 50, "", true},
                                           ViewCase{"BeyondTheText", "abc", 9, 1, "abc", true},
                                           // The import counts in 32 bits: no limit at 32,767.
                                           ViewCase{"LongField", "x", 40000, 40000, "x", true}),
                         CaseName());
} // namespace
