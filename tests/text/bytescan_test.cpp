#include "tests/support/casename.h"
#include "text/bytescan.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <random>
#include <string>
#include <string_view>

namespace {
struct ScanCase
{
    const char* name;
    std::string text;
    std::size_t semicolon; // ByteScan::find(text, ';')
    std::size_t lineEnd;
    std::size_t asciiPrefix;
};

class ByteScanTest : public ::testing::TestWithParam<ScanCase>
{
};

constexpr std::size_t npos = std::string_view::npos;

TEST_P(ByteScanTest, FindsTheFirstOfEachKind)
{
    const ScanCase& c = GetParam();
    EXPECT_EQ(ByteScan::find(c.text, ';'), c.semicolon);
    EXPECT_EQ(ByteScan::findLineEnd(c.text), c.lineEnd);
    EXPECT_EQ(ByteScan::asciiPrefix(c.text), c.asciiPrefix);
    EXPECT_EQ(ByteScan::isAscii(c.text), c.asciiPrefix == c.text.size());
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Cases, ByteScanTest,
    ::testing::Values(ScanCase{"Empty", "", npos, 0, 0},
                      ScanCase{"ShorterThanAWord", "ab;c\r", 2, 4, 5},
                      ScanCase{"InTheSecondWord", "01234567890;\n", 11, 12, 13},
                      // ':' is ';' ^ 1: the borrow from the ';' flags it too, above.
                      ScanCase{"FalseFlagAboveTheTrueOne", "abc;:;:;\n", 3, 8, 9},
                      // Tabs, NULs and the other controls below 0x0E are flagged as line
                      // ends might be, and passed over; 0x0E after one borrows a flag.
                      ScanCase{"ControlsBeforeTheLineEnd", "\t\v\f\0\x0E\x01\x0D\x0A;"s, 8, 6, 9},
                      ScanCase{"CrInTheLastByteOfAWord", "abcdefg\rh", npos, 7, 9},
                      ScanCase{"HighBytesAreNotLineEnds", "\x8D\x8A\xFF\x8D\x8A;\xC3\xA9\n", 5, 8,
                               0},
                      ScanCase{"HighByteAfterSixteen", "0123456789abcdef0123\x80;", 21, 22, 20},
                      ScanCase{"NoneAtAll", "0123456789abcdefghij", npos, 20, 20}),
    CaseName());

// Every start within a word and every length up to a few words, over bytes
// drawn mostly from those each scan must tell apart, against the plain loop
// (memchr for the search).
TEST(ByteScan, AgreesWithAPlainScanAtEveryAlignmentAndLength)
{
    constexpr std::array<char, 14> kAlphabet = {';',    ':',    '<',    '\r',   '\n',   '\t', '\0',
                                                '\x01', '\x0E', '\x7F', '\x80', '\xFF', 'a',  '0'};
    std::mt19937 random(19);
    std::uniform_int_distribution<int> pick(0, static_cast<int>(kAlphabet.size()));
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::array<char, 64> buffer{};
    for (int round = 0; round < 200; ++round) {
        for (char& b : buffer) {
            const int i = pick(random);
            b = i < static_cast<int>(kAlphabet.size()) ? kAlphabet[static_cast<std::size_t>(i)]
                                                       : static_cast<char>(anyByte(random));
        }
        const char needle = kAlphabet[static_cast<std::size_t>(round) % kAlphabet.size()];
        for (std::size_t start = 0; start < 8; ++start) {
            for (std::size_t length = 0; length <= 48; ++length) {
                const std::string_view text(buffer.data() + start, length);
                const void* hit = std::memchr(text.data(), needle, length);
                const std::size_t expected =
                    hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data())
                        : npos;
                std::size_t lineEnd = 0;
                while (lineEnd < length && text[lineEnd] != '\r' && text[lineEnd] != '\n')
                    ++lineEnd;
                std::size_t ascii = 0;
                while (ascii < length && static_cast<unsigned char>(text[ascii]) < 0x80)
                    ++ascii;
                SCOPED_TRACE(::testing::Message()
                             << "round " << round << ", start " << start << ", length " << length);
                ASSERT_EQ(ByteScan::find(text, needle), expected);
                ASSERT_EQ(ByteScan::findLineEnd(text), lineEnd);
                ASSERT_EQ(ByteScan::asciiPrefix(text), ascii);
            }
        }
    }
}
} // namespace
