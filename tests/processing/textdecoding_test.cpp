#include "processing/textdecoding.h"
#include "processing/utf16device.h"
#include "tests/support/casename.h"
#include "tests/support/failingdevice.h"

#include <QStringDecoder>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

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

// The system's own Windows-1252 table: Qt's, with ICU, on Linux; on
// Windows, where Qt has no such codec, the system's code page 1252.
QString systemWindows1252(char byte)
{
#ifdef _WIN32
    wchar_t out[2] = {};
    const int n = MultiByteToWideChar(1252, 0, &byte, 1, out, 2);
    return QString::fromWCharArray(out, n);
#else
    QStringDecoder codec("windows-1252");
    return codec.isValid() ? codec.decode(QByteArrayView(&byte, 1)) : QString();
#endif
}

// Every byte against the system's own Windows-1252 table; the bytes the code
// page leaves undefined come out as the C1 controls of the same value.
TEST(TextDecoding, Windows1252MatchesTheSystemCodec)
{
    ASSERT_FALSE(systemWindows1252('A').isEmpty()) << "no Windows-1252 codec";
    for (int byte = 0; byte < 256; ++byte) {
        const char ch = static_cast<char>(byte);
        std::string out = "x";
        TextDecoding::appendWindows1252AsUtf8(std::string_view(&ch, 1), out);
        const QString expected = QStringLiteral("x") + systemWindows1252(ch);
        EXPECT_EQ(QString::fromStdString(out), expected) << "byte " << byte;
        EXPECT_TRUE(TextDecoding::isValidUtf8(out)) << "byte " << byte;
    }
}
struct Utf16Case
{
    const char* name;
    std::string bytes; // little endian, without a BOM
    std::string utf8;
};

class Utf16Decoding : public ::testing::TestWithParam<Utf16Case>
{
};

// Whole, and fed one byte at a time as short reads would.
TEST_P(Utf16Decoding, GivesValidUtf8)
{
    const Utf16Case& c = GetParam();
    std::string whole;
    EXPECT_EQ(
        TextDecoding::appendUtf16AsUtf8(c.bytes, TextDecoding::Utf16::LittleEndian, whole, true),
        c.bytes.size());
    EXPECT_EQ(whole, c.utf8);
    EXPECT_TRUE(TextDecoding::isValidUtf8(whole));

    std::string pending;
    std::string pieces;
    for (std::size_t i = 0; i < c.bytes.size(); ++i) {
        pending += c.bytes[i];
        pending.erase(0, TextDecoding::appendUtf16AsUtf8(pending, TextDecoding::Utf16::LittleEndian,
                                                         pieces, false));
    }
    TextDecoding::appendUtf16AsUtf8(pending, TextDecoding::Utf16::LittleEndian, pieces, true);
    EXPECT_EQ(pieces, c.utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf16Decoding,
    ::testing::Values(Utf16Case{"Ascii", std::string("a\0;\0\r\0\n\0", 8), "a;\r\n"},
                      Utf16Case{"Accent", std::string("\xC7\0\xE3\0", 4), "Çã"},
                      Utf16Case{"Euro", std::string("\xAC\x20", 2), "€"},
                      Utf16Case{"SurrogatePair", std::string("\x3D\xD8\x00\xDE", 4), "\U0001F600"},
                      Utf16Case{"LoneHigh",
                                std::string("\x3D\xD8"
                                            "a\0",
                                            4),
                                "\xEF\xBF\xBD"
                                "a"},
                      Utf16Case{"LoneLow",
                                std::string("\x00\xDE"
                                            "a\0",
                                            4),
                                "\xEF\xBF\xBD"
                                "a"},
                      Utf16Case{"HighAtTheEnd", "\x3D\xD8", "\xEF\xBF\xBD"},
                      Utf16Case{"OddLastByte", std::string("a\0b", 3), "a\xEF\xBF\xBD"},
                      Utf16Case{"Nul", std::string("\0\0", 2), std::string(1, '\0')}),
    CaseName());

TEST(TextDecoding, Utf16BomOnlyAtTheStart)
{
    EXPECT_EQ(TextDecoding::utf16Bom("\xFF\xFEH"), TextDecoding::Utf16::LittleEndian);
    EXPECT_EQ(TextDecoding::utf16Bom("\xFE\xFF"), TextDecoding::Utf16::BigEndian);
    EXPECT_EQ(TextDecoding::utf16Bom("\xFF"), TextDecoding::Utf16::None);
    EXPECT_EQ(TextDecoding::utf16Bom("H\xFF\xFE"), TextDecoding::Utf16::None);
    EXPECT_EQ(TextDecoding::utf16Bom("\xEF\xBB\xBF"), TextDecoding::Utf16::None);
}

// A read that fails through the UTF-16 device fails the reading, however
// far it got, and never passes for the end of the file.
TEST(Utf16Device, PassesOnAFailedRead)
{
    QByteArray bytes;
    for (int i = 0; i < 1000; ++i)
        bytes.append("a\0;\0\n\0", 6);
    FailingDevice failing(bytes, 3001);
    Utf16Device decoded(failing, TextDecoding::Utf16::LittleEndian);
    ASSERT_TRUE(decoded.isOpen());
    QByteArray read;
    char buffer[256];
    qint64 n = 0;
    while ((n = decoded.read(buffer, sizeof buffer)) > 0)
        read.append(buffer, n);
    EXPECT_EQ(n, -1);
    EXPECT_LE(read.size(), 1500);
}
} // namespace
