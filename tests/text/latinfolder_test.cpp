#include "tests/support/casename.h"
#include "text/collationkey.h"
#include "text/latinfolder.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace {
struct FoldCase
{
    const char* name;
    const char* text;
    const char* folded;
    bool latin1; // folded without a QString too
};

void PrintTo(const FoldCase& c, std::ostream* os)
{
    *os << c.name;
}

class AccentsAsideTest : public ::testing::TestWithParam<FoldCase>
{
};

// Localizar and the filter's search fold the cells and what is typed, the
// sort folds the letters of its keys: all three agree on every letter.
TEST_P(AccentsAsideTest, SearchAndSortFoldTheSameLetters)
{
    const FoldCase& c = GetParam();
    EXPECT_EQ(LatinFolder::fold(QString::fromUtf8(c.text)).toStdString(), c.folded);

    LatinFolder folder;
    const std::optional<std::string_view> fast = folder.fold(std::string_view(c.text));
    ASSERT_EQ(fast.has_value(), c.latin1);
    if (fast) {
        EXPECT_EQ(*fast, c.folded);
    }

    // The key's letters end at its first zero byte; its accents follow.
    std::string key;
    CollationKey().append(c.text, key);
    EXPECT_EQ(key.substr(0, key.find('\0')), c.folded);
}

INSTANTIATE_TEST_SUITE_P(Letters, AccentsAsideTest,
                         ::testing::Values(FoldCase{"Acute", "ÁLVARO", "alvaro", true},
                                           FoldCase{"TildeAndCedilla", "CONCEIÇÃO", "conceicao",
                                                    true},
                                           FoldCase{"Stroke", "SØREN Ø ø", "soren o o", true},
                                           FoldCase{"Ligature", "ÆSIR æ", "aesir ae", true},
                                           FoldCase{"SharpS", "STRAßE", "strasse", true},
                                           FoldCase{"Thorn", "ÞÓRA þ", "thora th", true},
                                           FoldCase{"Eth", "ÐURO ð", "duro d", true},
                                           FoldCase{"YDiaeresis", "ÿ", "y", true},
                                           FoldCase{"NotALetter", "2×3÷1", "2×3÷1", true},
                                           FoldCase{"CombiningMark", "JOA\u0303O", "joao", false}),
                         CaseName());
} // namespace
