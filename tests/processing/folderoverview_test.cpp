#include "processing/commandoutcome.h"
#include "processing/folderoverview.h"
#include "processing/folderoverviewtask.h"
#include "processing/returncounts.h"
#include "processing/returnfilename.h"
#include "sheet/progress.h"
#include "sheet/returnfields.h"
#include "tests/support/casename.h"
#include "tests/support/testfiles.h"
#include "tools/returnfilegenerator.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {
struct NameCase
{
    const char* name;
    const char* fileName;
    const char* cnpj;     // formatted, "-" when the name is not the government's
    const char* dateTime; // formatted
    const char* cpf;      // the responsible's digits, empty when not the government's
};

class ReturnFileNameTest : public ::testing::TestWithParam<NameCase>
{
};

TEST_P(ReturnFileNameTest, TakesTheCompanyAndTheDateOnlyFromTheGovernmentsName)
{
    const NameCase& c = GetParam();
    const ReturnFileName parsed = ReturnFileName::parse(QString::fromUtf8(c.fileName));
    EXPECT_EQ(parsed.formattedCnpj().toStdString(), c.cnpj);
    EXPECT_EQ(parsed.formattedDateTime().toStdString(), c.dateTime);
    EXPECT_EQ(parsed.responsibleCpf().toStdString(), c.cpf);
    EXPECT_EQ(parsed.isGovernments(), std::string_view(c.cnpj) != "-");
}

// 12345678000199, 01/12/2026 09:30:15, responsible 98765432100.
constexpr NameCase kNames[] = {
    {"Government", "D.CNS.CPF.002.20261201093015.12345678000199.98765432100.TXT.PROCESSADO",
     "12.345.678/0001-99", "01/12/2026 09:30", "98765432100"},
    {"LowerCase", "d.cns.cpf.002.20261201093015.12345678000199.98765432100.txt.processado",
     "12.345.678/0001-99", "01/12/2026 09:30", "98765432100"},
    {"WindowsPath",
     "C:\\Retornos\\D.CNS.CPF.002.20261201093015.12345678000199.98765432100.TXT.PROCESSADO",
     "12.345.678/0001-99", "01/12/2026 09:30", "98765432100"},
    {"UnixPath", "/home/x/D.CNS.CPF.002.20261201093015.12345678000199.98765432100.TXT.PROCESSADO",
     "12.345.678/0001-99", "01/12/2026 09:30", "98765432100"},
    {"BrowserCopy", "D.CNS.CPF.002.20261201093015.12345678000199.98765432100.TXT (1).PROCESSADO",
     "12.345.678/0001-99", "01/12/2026 09:30", "98765432100"},
    {"SavedAsTxt", "D.CNS.CPF.002.20261201093015.12345678000199.98765432100.TXT.PROCESSADO.txt",
     "12.345.678/0001-99", "01/12/2026 09:30", "98765432100"},
    {"LastMinuteOfALeapYear",
     "D.CNS.CPF.002.20281231235959.12345678000199.98765432100.TXT.PROCESSADO", "12.345.678/0001-99",
     "31/12/2028 23:59", "98765432100"},
    {"February29OfALeapYear",
     "D.CNS.CPF.002.20280229000000.00000000000191.98765432100.TXT.PROCESSADO", "00.000.000/0001-91",
     "29/02/2028 00:00", "98765432100"},
    {"Month13", "D.CNS.CPF.002.20261301093015.12345678000199.98765432100.TXT.PROCESSADO", "-", "-",
     ""},
    {"February31", "D.CNS.CPF.002.20260231093015.12345678000199.98765432100.TXT.PROCESSADO", "-",
     "-", ""},
    {"Hour24", "D.CNS.CPF.002.20261201243015.12345678000199.98765432100.TXT.PROCESSADO", "-", "-",
     ""},
    {"CnpjOneDigitShort", "D.CNS.CPF.002.20261201093015.1234567800019.98765432100.TXT.PROCESSADO",
     "-", "-", ""},
    {"CpfOneDigitLong", "D.CNS.CPF.002.20261201093015.12345678000199.987654321001.TXT.PROCESSADO",
     "-", "-", ""},
    {"StampShort", "D.CNS.CPF.002.202612010930.12345678000199.98765432100.TXT.PROCESSADO", "-", "-",
     ""},
    {"EndsAfterTheStamp", "D.CNS.CPF.002.20261201093015", "-", "-", ""},
    {"LetterInTheCnpj", "D.CNS.CPF.002.20261201093015.1234567800019X.98765432100.TXT.PROCESSADO",
     "-", "-", ""},
    {"SentFileNotTheReturn", "D.CNS.CPF.001.20261201093015.12345678000199.98765432100.TXT", "-",
     "-", ""},
    {"RenamedByTheClerk", "retorno empresa 12345678000199.txt", "-", "-", ""},
    {"GovernmentNameInAFolderName",
     "/x/D.CNS.CPF.002.20261201093015.12345678000199.98765432100/retorno.txt", "-", "-", ""},
    {"Empty", "", "-", "-", ""},
};
INSTANTIATE_TEST_SUITE_P(Names, ReturnFileNameTest, ::testing::ValuesIn(kNames), CaseName{});

std::vector<std::string_view> split(std::string_view text, std::string_view separator)
{
    std::vector<std::string_view> parts;
    for (std::size_t at = 0;;) {
        const std::size_t end = text.find(separator, at);
        parts.push_back(text.substr(at, end - at));
        if (end == std::string_view::npos)
            return parts;
        at = end + separator.size();
    }
}

// The counts straight from the file's codes, as the government means them:
// a code passes exactly when it is "0".
struct RawCounts
{
    int workers = 0;
    int withProblems = 0;
    int withOrientation = 0;
    std::array<int, ReturnCounts::kColumns> notOk{};
};

RawCounts countCodes(std::string_view file)
{
    RawCounts raw;
    const std::vector<std::string_view> lines = split(file, "\r\n");
    for (std::size_t i = 1; i < lines.size(); ++i) { // the heading aside
        if (lines[i].empty())
            continue;
        const std::vector<std::string_view> fields = split(lines[i], ";");
        ++raw.workers;
        bool problem = false;
        bool orientation = false;
        for (int col = ReturnCounts::kFirstColumn; col <= ReturnCounts::kLastColumn; ++col) {
            if (fields.at(static_cast<std::size_t>(col - 1)) == "0")
                continue;
            ++raw.notOk[static_cast<std::size_t>(col - ReturnCounts::kFirstColumn)];
            (col <= ReturnFields::kLastVerificationColumn ? problem : orientation) = true;
        }
        raw.withProblems += problem ? 1 : 0;
        raw.withOrientation += orientation ? 1 : 0;
    }
    return raw;
}

TEST(ReturnCountsTest, AgreeWithTheFilesOwnCodes)
{
    TestFiles files;
    // Half the workers with problems: every column fails for some of them.
    const std::string text = ReturnFileGenerator({7, 0.5, "\r\n"}).file(3000);
    const ReturnCounts counts =
        ReturnCounts::ofFile(files.write(QStringLiteral("retorno.txt"), text));
    const RawCounts raw = countCodes(text);

    ASSERT_TRUE(counts.counted()) << counts.reason().toStdString();
    EXPECT_EQ(counts.workers(), raw.workers);
    EXPECT_EQ(counts.withProblems(), raw.withProblems);
    EXPECT_EQ(counts.withOrientation(), raw.withOrientation);
    for (int col = ReturnCounts::kFirstColumn; col <= ReturnCounts::kLastColumn; ++col) {
        const int expected = raw.notOk[static_cast<std::size_t>(col - ReturnCounts::kFirstColumn)];
        EXPECT_GT(expected, 0) << "column " << col << " never fails: the file proves nothing";
        EXPECT_EQ(counts.notOk(col), expected) << "column " << col;
    }
    EXPECT_TRUE(counts.warning().isEmpty());
}

TEST(FolderOverviewTest, ListsEveryFileByNameAndTellsWhyOneIsNotAReturn)
{
    TestFiles files;
    const std::string company = ReturnFileGenerator({11, 0.3, "\r\n"}).file(40);
    files.write(
        QStringLiteral("D.CNS.CPF.002.20261201093015.12345678000199.98765432100.TXT.PROCESSADO"),
        company);
    files.write(QStringLiteral("anotações.txt"),
                "Pendências\r\nLigar para o contador na segunda-feira.\r\n");
    // Read, as Processar reads it, but with nothing to count: told, not clean.
    files.write(QStringLiteral("vazio.txt"), "");
    files.write(QStringLiteral("b-copia.txt"), company);
    files.write(QStringLiteral("D.CNS.subpasta/dentro.txt"), company);

    const FolderOverview::Result result = FolderOverview::read(files.path({}), nullptr);

    ASSERT_TRUE(result.complete());
    ASSERT_EQ(result.entries.size(), 4u);
    EXPECT_EQ(result.entries[0].fileName, QStringLiteral("anotações.txt"));
    EXPECT_EQ(result.entries[1].fileName, QStringLiteral("b-copia.txt"));
    EXPECT_EQ(result.entries[2].name.formattedCnpj(), QStringLiteral("12.345.678/0001-99"));
    EXPECT_EQ(result.entries[3].fileName, QStringLiteral("vazio.txt"));

    const ReturnCounts& notes = result.entries[0].counts;
    EXPECT_FALSE(notes.counted());
    EXPECT_EQ(notes.reason().toStdString(),
              CommandOutcome{CommandMessage::NotAReturnFile}.messageText().toStdString());
    EXPECT_EQ(notes.workers(), 0);
    const ReturnCounts& empty = result.entries[3].counts;
    EXPECT_TRUE(empty.counted());
    EXPECT_EQ(empty.workers(), 0);
    CommandOutcome noWorkers;
    noWorkers.noWorkers = true;
    EXPECT_EQ(empty.warning().toStdString(), noWorkers.warningText().toStdString());
    const int companyProblems = countCodes(company).withProblems;
    for (std::size_t i : {1u, 2u}) {
        EXPECT_TRUE(result.entries[i].counts.counted());
        EXPECT_EQ(result.entries[i].counts.workers(), 40);
        EXPECT_EQ(result.entries[i].counts.withProblems(), companyProblems);
    }
}

#ifndef _WIN32 // names that are no text, as Linux has them
// A return saved by an old system under a name that is not UTF-8 cannot be
// opened by any path the program holds; it is listed with that reason, not
// left out.
TEST(FolderOverviewTest, ListsAFileWhoseNameIsNoText)
{
    TestFiles files;
    const QString folder =
        QFileInfo(files.write(QStringLiteral("a.txt"), ReturnFileGenerator().sample(3))).path();
    const std::string sample = ReturnFileGenerator().sample(3);
    const QByteArray untexted = QFile::encodeName(folder) + "/b\xe9.txt";
    const int fd = ::open(untexted.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, sample.data(), sample.size()), static_cast<ssize_t>(sample.size()));
    ::close(fd);

    const FolderOverview::Result result = FolderOverview::read(folder, nullptr);
    ASSERT_EQ(result.entries.size(), 2u);
    EXPECT_EQ(result.entries[1].fileName, QStringLiteral("b\\xe9.txt"));
    EXPECT_EQ(result.entries[1].counts.reason(),
              CommandOutcome{CommandMessage::NameNotText}.messageText());
}
#endif

TEST(FolderOverviewTest, AFolderThatIsNotThereIsToldNotListedEmpty)
{
    TestFiles files;
    const FolderOverview::Result result =
        FolderOverview::read(files.path(QStringLiteral("nenhuma")), nullptr);
    EXPECT_EQ(result.status, FolderOverview::Status::FolderUnreadable);
    EXPECT_FALSE(result.complete());
}

// Stops as asked: at a given advance, at the finish, or through the task.
class StoppingProgress : public Progress
{
public:
    std::function<bool(int done)> onAdvance = [](int) { return true; };
    bool finishes = true;
    bool advance(int done, int) override { return onAdvance(done); }
    bool finish() override { return finishes; }
};

struct StopCase
{
    const char* name;
    int stopAtAdvance;   // -1: never
    bool stopAtFinish;   // the progress's finish() says stop
    int cancelAtAdvance; // FolderOverviewTask::cancel() from within advance(); -1: never
    std::size_t entries;
    FolderOverview::Status status;
};

class FolderOverviewTaskTest : public ::testing::TestWithParam<StopCase>
{
};

TEST_P(FolderOverviewTaskTest, ACancelledRunIsNeverTakenForComplete)
{
    const StopCase& c = GetParam();
    TestFiles files;
    const std::string company = ReturnFileGenerator().file(10);
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        files.write(QString::fromLatin1(name), company);

    // The task's thread may ask before the task below is named.
    std::atomic<FolderOverviewTask*> running{nullptr};
    StoppingProgress progress;
    progress.finishes = !c.stopAtFinish;
    progress.onAdvance = [&](int done) {
        if (done == c.cancelAtAdvance) {
            while (!running)
                std::this_thread::yield();
            running.load()->cancel();
        }
        return done != c.stopAtAdvance;
    };

    FolderOverviewTask task(files.path({}), &progress);
    running = &task;
    const FolderOverview::Result result = task.wait();

    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.entries.size(), c.entries);
    EXPECT_EQ(result.complete(), c.status == FolderOverview::Status::Complete);
}

constexpr StopCase kStops[] = {
    {"RunsToTheEnd", -1, false, -1, 3, FolderOverview::Status::Complete},
    {"StoppedBeforeTheSecondFile", 1, false, -1, 1, FolderOverview::Status::Cancelled},
    {"StoppedAtTheFinish", -1, true, -1, 3, FolderOverview::Status::Cancelled},
    {"TaskCancelledDuringTheLastFile", -1, false, 2, 3, FolderOverview::Status::Cancelled},
    {"TaskCancelledBeforeTheSecondFile", -1, false, 0, 1, FolderOverview::Status::Cancelled},
};
INSTANTIATE_TEST_SUITE_P(Stops, FolderOverviewTaskTest, ::testing::ValuesIn(kStops), CaseName{});
} // namespace
