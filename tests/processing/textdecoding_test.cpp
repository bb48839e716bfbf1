#include "processing/textdecoding.h"
#include "tests/support/casename.h"

#include <QStringDecoder>

#include <gtest/gtest.h>

#include <string>

namespace {
struct Utf8Case
{
    const char* name;
    std::string bytes;
    bool valid;
};

class Utf8Validity : public ::testing::TestWithParam<Utf8Case>
{
};

TEST_P(Utf8Validity, IsStrict)
{
    const Utf8Case& c = GetParam();
    EXPECT_EQ(TextDecoding::isValidUtf8(c.bytes), c.valid);
    // The same bytes behind a run of ASCII, as a field after others.
    EXPECT_EQ(TextDecoding::isValidUtf8("0123456789;" + c.bytes), c.valid);
}

INSTANTIATE_TEST_SUITE_P(Cases, Utf8Validity,
                         ::testing::Values(Utf8Case{"Empty", "", true},
                                           Utf8Case{"TwoBytes", "\xC3\xA7\xC3\xA3o", true},
                                           Utf8Case{"ThreeBytes", "\xE2\x82\xAC", true},
                                           Utf8Case{"FourBytes", "\xF0\x9F\x98\x80", true},
                                           Utf8Case{"LastBeforeSurrogates", "\xED\x9F\xBF", true},
                                           Utf8Case{"LastCodePoint", "\xF4\x8F\xBF\xBF", true},
                                           Utf8Case{"Windows1252Accent", "JOS\xC9", false},
                                           Utf8Case{"LoneContinuation", "\x80", false},
                                           Utf8Case{"OverlongTwo", "\xC0\xAF", false},
                                           Utf8Case{"OverlongThree", "\xE0\x9F\xBF", false},
                                           Utf8Case{"OverlongFour", "\xF0\x8F\xBF\xBF", false},
                                           Utf8Case{"Surrogate", "\xED\xA0\x80", false},
                                           Utf8Case{"PastLastCodePoint", "\xF4\x90\x80\x80", false},
                                           Utf8Case{"F5Lead", "\xF5\x80\x80\x80", false},
                                           Utf8Case{"FFByte", "\xFF", false},
                                           Utf8Case{"TruncatedTwo", "\xC3", false},
                                           Utf8Case{"TruncatedThree", "\xE2\x82", false},
                                           Utf8Case{"BadSecondByte", "\xC3\x41", false},
                                           Utf8Case{"BadThirdByte", "\xE2\x82\x41", false}),
                         CaseName());

TEST(TextDecoding, IsAsciiSeesAHighByteAnywhere)
{
    const std::string ascii(37, 'a');
    EXPECT_TRUE(TextDecoding::isAscii(""));
    EXPECT_TRUE(TextDecoding::isAscii(ascii + "\x7F"));
    for (std::size_t at = 0; at < ascii.size(); ++at) {
        std::string bytes = ascii;
        bytes[at] = '\x80';
        EXPECT_FALSE(TextDecoding::isAscii(bytes)) << "high byte at " << at;
    }
}

// Every byte against the system's own Windows-1252 table; the bytes the code
// page leaves undefined come out as the C1 controls of the same value.
TEST(TextDecoding, Windows1252MatchesTheSystemCodec)
{
    QStringDecoder codec("windows-1252");
    ASSERT_TRUE(codec.isValid());
    for (int byte = 0; byte < 256; ++byte) {
        const char ch = static_cast<char>(byte);
        std::string out = "x";
        TextDecoding::appendWindows1252AsUtf8(std::string_view(&ch, 1), out);
        const QString expected = QStringLiteral("x") + codec.decode(QByteArrayView(&ch, 1));
        EXPECT_EQ(QString::fromStdString(out), expected) << "byte " << byte;
        EXPECT_TRUE(TextDecoding::isValidUtf8(out)) << "byte " << byte;
    }
}
} // namespace
