#include "tests/support/casename.h"
#include "text/utf8boundary.h"

#include <gtest/gtest.h>

#include <string>

namespace {
struct BoundaryCase
{
    const char* name;
    std::string text;
    std::size_t at;
    std::size_t boundary;
};

class Utf8BoundaryTest : public ::testing::TestWithParam<BoundaryCase>
{
};

TEST_P(Utf8BoundaryTest, NeverSplitsACharacter)
{
    const BoundaryCase& c = GetParam();
    EXPECT_EQ(Utf8Boundary::atOrBefore(c.text, c.at), c.boundary);
}

// "Ação" is 41 C3 A7 C3 A3 6F; U+1F600 is F0 9F 98 80.
INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8BoundaryTest,
    ::testing::Values(BoundaryCase{"Ascii", "abcdef", 3, 3}, BoundaryCase{"AtTheEnd", "abc", 3, 3},
                      BoundaryCase{"PastTheEnd", "A\xC3\xA7", 100, 3},
                      BoundaryCase{"Nothing", "\xC3\xA7", 0, 0},
                      BoundaryCase{"AtACharactersStart", "A\xC3\xA7\xC3\xA3o", 3, 3},
                      BoundaryCase{"InsideATwoByteCharacter", "A\xC3\xA7\xC3\xA3o", 4, 3},
                      BoundaryCase{"InsideAFourByteCharacter", "ab\xF0\x9F\x98\x80", 5, 2},
                      BoundaryCase{"AfterAFourByteCharacter", "ab\xF0\x9F\x98\x80z", 6, 6},
                      // Not UTF-8: nothing but continuation bytes to step over.
                      BoundaryCase{"OnlyContinuationBytes", "\x80\x80\x80", 2, 0},
                      BoundaryCase{"LoneLeadByte", "a\xC3z", 2, 2}),
    CaseName());
} // namespace
