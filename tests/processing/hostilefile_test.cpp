// Hostile files: a FIFO swapped in after the path check, a "regular" file
// that never ends, a UTF-16 file, through the whole import.
#include "processing/importcommand.h"
#include "sheet/resultsheet.h"
#include "tests/support/casename.h"
#include "tests/support/sheetrows.h"
#include "tests/support/testfiles.h"
#include "tools/returnfilegenerator.h"

#include <QFile>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
const std::string kAllPass = "0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0";

std::string worker(const std::string& name)
{
    return "1;2;" + name + ";4;" + kAllPass + ";0";
}

void fillEarlier(ResultSheet& sheet)
{
    for (int r = 1; r <= 3; ++r) {
        for (int c = 1; c <= 21; ++c)
            sheet.SetCellText(r, c, QStringLiteral("r%1c%2").arg(r).arg(c));
    }
    sheet.SetRowCount(3);
}

// Hands out `pattern` over and over, `limit` bytes in all, then ends: a file
// that, as far as the import can tell, never ends. Sequential, as /proc files
// read.
class EndlessDevice : public QIODevice
{
public:
    EndlessDevice(std::string pattern, qint64 limit) : pattern_(std::move(pattern)), limit_(limit)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return true; }
    qint64 handedOut() const { return handedOut_; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 n = std::min(maxSize, limit_ - handedOut_);
        for (qint64 i = 0; i < n; ++i)
            data[i] =
                pattern_[static_cast<std::size_t>((handedOut_ + i) % qint64(pattern_.size()))];
        handedOut_ += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    std::string pattern_;
    qint64 limit_;
    qint64 handedOut_ = 0;
};

// FIFOs, /dev and /proc are POSIX's: Windows has none of them.
#ifndef _WIN32
// The path check passes on a regular file, then a FIFO takes its
// place. A plain open() of the FIFO waits for a writer for ever; the import
// must refuse it at once. Were it to wait, a writer comes after 3 s with a
// valid file, so the test fails instead of hanging.
TEST(HostileFile, FifoSwappedInAfterThePathCheckIsRefusedAtOnce)
{
    TestFiles files;
    const QString path = files.write(QStringLiteral("r.txt"), "H\n" + worker("A"));
    const QByteArray name = QFile::encodeName(path);
    ResultSheet sheet;
    fillEarlier(sheet);
    const auto before = sheetRows(sheet);
    std::thread writer;
    ImportCommand::Options options;
    options.afterPathCheck = [&] {
        QFile::remove(path);
        ASSERT_EQ(::mkfifo(name.constData(), 0600), 0);
        writer = std::thread([name] {
            std::this_thread::sleep_for(std::chrono::seconds(3));
            // Only succeeds while a reader waits in open().
            const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                const std::string text = "H\n" + worker("FROM THE FIFO") + "\n";
                [[maybe_unused]] const auto written = ::write(fd, text.data(), text.size());
                ::close(fd);
            }
        });
    };
    const auto start = std::chrono::steady_clock::now();
    const CommandOutcome outcome = ImportCommand::run(path, sheet, options);
    const auto took = std::chrono::steady_clock::now() - start;
    writer.join();
    EXPECT_EQ(outcome.messageText(), QStringLiteral("Arquivo Selecionado Não Existe"));
    EXPECT_LT(took, std::chrono::seconds(1));
    EXPECT_EQ(sheetRows(sheet), before);
}

// A character device swapped in is refused the same way, and never read.
TEST(HostileFile, DeviceSwappedInAfterThePathCheckIsRefused)
{
    TestFiles files;
    const QString path = files.write(QStringLiteral("r.txt"), "H\n" + worker("A"));
    ResultSheet sheet;
    ImportCommand::Options options;
    options.afterPathCheck = [&] {
        QFile::remove(path);
        ASSERT_EQ(::symlink("/dev/zero", QFile::encodeName(path).constData()), 0);
    };
    EXPECT_EQ(ImportCommand::run(path, sheet, options).messageText(),
              QStringLiteral("Arquivo Selecionado Não Existe"));
}

#endif

// A file that never ends and holds no line end (pagemap is mostly zero
// bytes): the import stops once the line passes the bound, with a message,
// and the sheet keeps its cells. The device ends after 200 MB, so without
// the bound the import succeeds and the test fails.
TEST(HostileFile, EndlessLineEndsTheImportWithAMessage)
{
    EndlessDevice device(std::string("\0\0\0\0\0\0\x80\x81", 8), qint64{200} << 20);
    ResultSheet sheet;
    fillEarlier(sheet);
    const auto before = sheetRows(sheet);
    QSignalSpy reset(&sheet, &ResultSheet::sheetReset);
    const CommandOutcome outcome = ImportCommand::load(device, sheet, {});
    EXPECT_EQ(outcome.message, CommandMessage::LineTooLong);
    EXPECT_EQ(outcome.messageText(),
              QStringLiteral("O Arquivo Selecionado tem uma linha com mais de 67.108.864 bytes"));
    EXPECT_LE(device.handedOut(), qint64{80} << 20);
    EXPECT_EQ(sheetRows(sheet), before);
    EXPECT_EQ(reset.count(), 0);
}

#ifndef _WIN32 // /proc is Linux's
// /proc/self/pagemap itself, through the whole command.
TEST(HostileFile, ProcPagemapEndsWithAMessage)
{
    if (!QFile::exists(QStringLiteral("/proc/self/pagemap")))
        GTEST_SKIP() << "no /proc/self/pagemap";
    ResultSheet sheet;
    const auto start = std::chrono::steady_clock::now();
    const CommandOutcome outcome = ImportCommand::run(QStringLiteral("/proc/self/pagemap"), sheet);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(outcome.message, CommandMessage::LineTooLong);
    EXPECT_EQ(sheet.RowCount(), 0);
}
#endif

// An endless file of blank lines adds no row, so the row limit never stops
// it: the line limit does. The device ends after 40,000,000 lines, so without
// the limit the import succeeds and the test fails.
TEST(HostileFile, EndlessBlankLinesEndTheImportWithAMessage)
{
    EndlessDevice device("\n", 40'000'000);
    ResultSheet sheet;
    fillEarlier(sheet);
    const auto before = sheetRows(sheet);
    const CommandOutcome outcome = ImportCommand::load(device, sheet, {});
    EXPECT_EQ(outcome.message, CommandMessage::TooManyLines);
    EXPECT_EQ(outcome.messageText(),
              QStringLiteral("O Arquivo Selecionado tem mais de 33.554.432 linhas"));
    EXPECT_EQ(sheetRows(sheet), before);
}

// An endless file of short worker lines is stopped by the row limit.
TEST(HostileFile, EndlessWorkersStopAtTheRowLimit)
{
    EndlessDevice device(worker("A") + "\n", qint64{1} << 40);
    ResultSheet sheet;
    ImportCommand::Options options;
    options.maxRows = 100'000;
    EXPECT_EQ(ImportCommand::load(device, sheet, options).message, CommandMessage::TooManyRows);
    EXPECT_EQ(sheet.RowCount(), 0);
}

// UTF-16 with its byte order mark.
std::string utf16(const std::string& utf8, bool bigEndian)
{
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const char hi = static_cast<char>(u >> 8);
        const char lo = static_cast<char>(u & 0xFF);
        bytes += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return bytes;
}

class Utf16File : public ::testing::TestWithParam<bool>
{
};

// The same rows as the UTF-8 file: line ends, blank lines, fields, accents
// and a character past the BMP.
TEST_P(Utf16File, LoadsAsTheUtf8FileDoes)
{
    const std::string text = "H\r\n" + worker("JOSÉ CONCEIÇÃO") + "\r\n\r\n \n" +
                             worker("ÁGUA \U0001F600") + "\r" + worker("C") + ";x";
    TestFiles files;
    ResultSheet fromUtf8;
    ASSERT_TRUE(
        ImportCommand::run(files.write(QStringLiteral("u8.txt"), text), fromUtf8).succeeded());
    ResultSheet fromUtf16;
    const CommandOutcome outcome = ImportCommand::run(
        files.write(QStringLiteral("u16.txt"), utf16(text, GetParam())), fromUtf16);
    ASSERT_TRUE(outcome.succeeded());
    EXPECT_EQ(outcome.rows, 3);
    EXPECT_EQ(fromUtf16.ColCount(), 22);
    EXPECT_EQ(sheetRows(fromUtf16), sheetRows(fromUtf8));
    EXPECT_EQ(fromUtf16.CellUtf8(1, 3), "JOSÉ CONCEIÇÃO");
    EXPECT_EQ(fromUtf16.CellUtf8(1, 5), "OK");
}

// A file of many blocks: every unit split between two reads is joined again.
TEST_P(Utf16File, BigFileLoadsWhole)
{
    ReturnFileGenerator::Options generated;
    generated.problemShare = 0.3;
    const std::string text = ReturnFileGenerator(generated).file(6'000);
    TestFiles files;
    ResultSheet fromUtf8;
    ASSERT_TRUE(
        ImportCommand::run(files.write(QStringLiteral("u8.txt"), text), fromUtf8).succeeded());
    ResultSheet fromUtf16;
    ASSERT_TRUE(ImportCommand::run(files.write(QStringLiteral("u16.txt"), utf16(text, GetParam())),
                                   fromUtf16)
                    .succeeded());
    EXPECT_EQ(fromUtf16.RowCount(), 6'000);
    EXPECT_EQ(sheetRows(fromUtf16), sheetRows(fromUtf8));
}

INSTANTIATE_TEST_SUITE_P(Orders, Utf16File, ::testing::Values(false, true), [](const auto& info) {
    return std::string(info.param ? "BigEndian" : "LittleEndian");
});

} // namespace
