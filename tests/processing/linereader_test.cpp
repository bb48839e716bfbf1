#include "processing/linereader.h"
#include "tests/support/casename.h"
#include "tests/support/failingdevice.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
struct LineCase
{
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
};

class LineReaderTest : public ::testing::TestWithParam<std::tuple<LineCase, std::size_t>>
{
};

// Every block size, down to one byte, so that each line end also falls on a
// block boundary (a CRLF split between two reads in particular).
TEST_P(LineReaderTest, SplitsLinesWhateverTheBlockSize)
{
    const auto& [c, blockSize] = GetParam();
    QByteArray bytes(c.bytes.data(), static_cast<qsizetype>(c.bytes.size()));
    QBuffer device(&bytes);
    ASSERT_TRUE(device.open(QIODevice::ReadOnly));
    LineReader reader(device, blockSize);
    std::vector<std::string> lines;
    std::string_view line;
    bool lastEnded = true;
    while (reader.next(line)) {
        lines.emplace_back(line);
        lastEnded = reader.lineEnded();
    }
    EXPECT_EQ(lines, c.lines);
    EXPECT_FALSE(reader.failed());
    // Only a last line that the bytes stop in is said to have no end.
    EXPECT_EQ(lastEnded, c.bytes.empty() || c.bytes.back() == '\n' || c.bytes.back() == '\r');
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineReaderTest,
    ::testing::Combine(
        ::testing::Values(
            LineCase{"Empty", "", {}}, LineCase{"NoFinalEnd", "a\nb", {"a", "b"}},
            LineCase{"Lf", "a\nb\n", {"a", "b"}}, LineCase{"CrLf", "a\r\nb\r\n", {"a", "b"}},
            LineCase{"LoneCr", "a\rb\r", {"a", "b"}},
            LineCase{"Mixed", "a\r\n\rb\n\nc\r", {"a", "", "b", "", "c"}},
            LineCase{"LfCrIsTwoEnds", "a\n\rb", {"a", "", "b"}},
            LineCase{"OnlyEnds", "\r\n\r\n", {"", ""}}, LineCase{"CrAtVeryEnd", "abc\r", {"abc"}},
            LineCase{"TabsAndNulsStay",
                     std::string("a\tb\0c\x0b\x0c\n", 8),
                     {std::string("a\tb\0c\x0b\x0c", 7)}},
            LineCase{"HighBytes", "\xC3\xA7\x8D\x8A\n\x0D\x0A", {"\xC3\xA7\x8D\x8A", ""}}),
        ::testing::Values(std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{7},
                          std::size_t{1} << 20)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + "_Block" +
               std::to_string(std::get<1>(info.param));
    });

struct FailCase
{
    const char* name;
    std::string bytes;
    qint64 failAt;
    std::vector<std::string> lines; // whole lines read before the failure
};

class LineReaderFailure : public ::testing::TestWithParam<FailCase>
{
};

// A failed read ends the lines at once: no partial line, no endless loop.
TEST_P(LineReaderFailure, StopsAndReportsTheFailure)
{
    const FailCase& c = GetParam();
    FailingDevice device(QByteArray::fromStdString(c.bytes), c.failAt);
    LineReader reader(device, 4);
    std::vector<std::string> lines;
    std::string_view line;
    for (int calls = 0; calls < 100 && reader.next(line); ++calls)
        lines.emplace_back(line);
    EXPECT_TRUE(reader.failed());
    EXPECT_EQ(lines, c.lines);
    EXPECT_FALSE(reader.next(line));
}

INSTANTIATE_TEST_SUITE_P(Cases, LineReaderFailure,
                         ::testing::Values(FailCase{"AtOnce", "abc\ndef\n", 0, {}},
                                           FailCase{"AfterALine", "ab\ncdef\n", 3, {"ab"}},
                                           FailCase{"MidLine", "ab\ncdefghij\n", 6, {"ab"}},
                                           FailCase{"AfterCrOfCrLf", "abc\r\nd\n", 4, {}},
                                           FailCase{
                                               "LongLine", "abcdefghijklmnopqrstuvwxyz\n", 20, {}}),
                         CaseName());
// A line longer than the bound ends the reading, in every block size.
TEST(LineReader, RefusesALineLongerThanTheBound)
{
    for (const std::size_t block :
         {std::size_t{1}, std::size_t{3}, std::size_t{16}, std::size_t{1} << 20}) {
        QByteArray bytes("ab\r\n12345678\n123456789\ncd\n");
        QBuffer device(&bytes);
        device.open(QIODevice::ReadOnly);
        LineReader reader(device, block, 8);
        std::vector<std::string> lines;
        std::string_view line;
        while (reader.next(line))
            lines.emplace_back(line);
        EXPECT_EQ(lines, (std::vector<std::string>{"ab", "12345678"})) << block;
        EXPECT_TRUE(reader.lineTooLong()) << block;
        EXPECT_FALSE(reader.failed()) << block;
        EXPECT_FALSE(reader.next(line)) << block;
    }
}

// A last line without its end counts the same.
TEST(LineReader, RefusesALongLastLine)
{
    QByteArray bytes("ab\n123456789");
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    LineReader reader(device, 4, 8);
    std::string_view line;
    ASSERT_TRUE(reader.next(line));
    EXPECT_FALSE(reader.next(line));
    EXPECT_TRUE(reader.lineTooLong());
}

} // namespace
