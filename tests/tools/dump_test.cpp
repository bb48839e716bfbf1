// The dump tool run as a user would run it, on the bundled sample and on
// generated files.
#include "processing/returncodes.h"
#include "tests/support/casename.h"
#include "tests/support/testfiles.h"
#include "tools/returnfilegenerator.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {
struct ToolRun
{
    int exitCode = -1;
    std::string out;
};

ToolRun dump(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(VERINOVA_DUMP), arguments);
    // A program the system could not start (seen once under Wine, on a
    // loaded machine) is started again; one that started and crashed is not.
    if (!process.waitForStarted(60'000) && process.error() == QProcess::FailedToStart)
        process.start(QStringLiteral(VERINOVA_DUMP), arguments);
    if (!process.waitForFinished(120'000) || process.exitStatus() != QProcess::NormalExit)
        return {-1, "(" + process.errorString().toStdString() + ")"};
    // Windows' C library ends the lines it writes with CR LF.
    return {process.exitCode(),
            process.readAllStandardOutput().replace("\r\n", "\n").toStdString()};
}

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(separator, from)) != std::string::npos; from = at + 1)
        parts.push_back(text.substr(from, at - from));
    parts.push_back(text.substr(from));
    return parts;
}

std::string unescape(const std::string& cell)
{
    std::string text;
    for (std::size_t i = 0; i < cell.size(); ++i) {
        if (cell[i] == '\\' && i + 1 < cell.size()) {
            text += cell[++i] == 't' ? '\t' : cell[i];
            continue;
        }
        text += cell[i];
    }
    return text;
}

struct Dump
{
    std::vector<std::string> head; // ROWS, COLS, HIDDEN
    std::vector<std::vector<std::string>> rows;
};

// Checks the frame of a successful dump and returns its cells.
Dump parse(const ToolRun& run)
{
    Dump dump;
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.find('\r'), std::string::npos);
    std::vector<std::string> lines = split(run.out, '\n');
    EXPECT_EQ(lines.back(), ""); // every line ends in LF
    lines.pop_back();
    if (lines.size() < 3)
        return dump;
    dump.head.assign(lines.begin(), lines.begin() + 3);
    for (auto line = lines.begin() + 3; line != lines.end(); ++line) {
        std::vector<std::string> cells = split(*line, '\t');
        for (std::string& cell : cells)
            cell = unescape(cell);
        dump.rows.push_back(std::move(cells));
    }
    return dump;
}

// What a worker line's fields become, by the file format's tables.
std::vector<std::string> expectedRow(const std::string& line)
{
    std::vector<std::string> cells = split(line, ';');
    for (int col = 5; col <= 20; ++col) {
        std::string& cell = cells[static_cast<std::size_t>(col - 1)];
        cell = cell == "0" ? "OK" : std::string(ReturnCodes::checkMessage(col));
    }
    std::string& orientation = cells[20];
    if (orientation == "0")
        orientation = "OK";
    else if (orientation.size() == 1 && orientation[0] >= '1' && orientation[0] <= '3')
        orientation =
            ReturnCodes::orientationMessages()[static_cast<std::size_t>(orientation[0] - '1')];
    return cells;
}

// The worker lines of a file, whatever its line ends.
std::vector<std::string> workerLines(std::string text)
{
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.erase(at, 1);
    std::replace(text.begin(), text.end(), '\r', '\n');
    std::vector<std::string> lines = split(text, '\n');
    lines.erase(lines.begin()); // the header
    if (lines.back().empty())
        lines.pop_back();
    return lines;
}

TEST(DumpTool, BundledSample)
{
    QFile sample(QStringLiteral(VERINOVA_SAMPLE_FILE));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    const std::vector<std::string> lines = workerLines(sample.readAll().toStdString());
    const Dump dump = parse(::dump({QStringLiteral(VERINOVA_SAMPLE_FILE)}));
    EXPECT_EQ(dump.head, (std::vector<std::string>{"ROWS " + std::to_string(lines.size()),
                                                   "COLS 21", "HIDDEN "}));
    ASSERT_EQ(dump.rows.size(), lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(dump.rows[i], expectedRow(lines[i])) << "row " << i + 1;

    // The sample shows every message: all-OK rows, a failure in every check
    // column, every orientation instruction, accented names.
    std::set<std::string> shown;
    bool allOk = false;
    bool accents = false;
    for (const auto& row : dump.rows) {
        allOk = allOk || std::count(row.begin() + 4, row.end(), "OK") == 17;
        accents =
            accents || std::any_of(row[2].begin(), row[2].end(), [](char c) { return c & 0x80; });
        shown.insert(row.begin() + 4, row.end());
    }
    EXPECT_TRUE(allOk);
    EXPECT_TRUE(accents);
    for (int col = 5; col <= 20; ++col)
        EXPECT_TRUE(shown.count(std::string(ReturnCodes::checkMessage(col)))) << col;
    for (const std::string_view message : ReturnCodes::orientationMessages())
        EXPECT_TRUE(shown.count(std::string(message))) << message;
}

struct GeneratedCase
{
    const char* name;
    const char* lineEnd;
    double problemShare;
};

class DumpGenerated : public ::testing::TestWithParam<GeneratedCase>
{
};

TEST_P(DumpGenerated, ShowsEveryWorkerTranslated)
{
    ReturnFileGenerator generator({20260101, GetParam().problemShare, GetParam().lineEnd});
    const std::string text = generator.file(3000);
    TestFiles files;
    const QString path = files.write(QStringLiteral("retôrno gerado.txt"), text);

    const Dump dump = parse(::dump({path}));
    const std::vector<std::string> lines = workerLines(text);
    EXPECT_EQ(dump.head, (std::vector<std::string>{"ROWS 3000", "COLS 21", "HIDDEN "}));
    ASSERT_EQ(dump.rows.size(), lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i)
        ASSERT_EQ(dump.rows[i], expectedRow(lines[i])) << "row " << i + 1;

    const ToolRun summary = ::dump({QStringLiteral("--summary"), path});
    EXPECT_EQ(summary.exitCode, 0);
    EXPECT_EQ(summary.out, "ROWS 3000\nCOLS 21\nHIDDEN \n");
}

INSTANTIATE_TEST_SUITE_P(Files, DumpGenerated,
                         ::testing::Values(GeneratedCase{"CrLf", "\r\n", 0.1},
                                           GeneratedCase{"Lf", "\n", 0.5},
                                           GeneratedCase{"Cr", "\r", 1.0}),
                         CaseName());

// TAB and backslash in a cell are escaped so that a dump line splits back
// into exactly its cells; accents leave as UTF-8 whatever the file's encoding.
TEST(DumpTool, EscapesCellsAndWritesUtf8)
{
    TestFiles files;
    const QString path = files.write(
        QStringLiteral("r.txt"), "H\nANA\tMARIA;C:\\PASTA\\;a\\tb;JOS\xC9;0;;;;;;;;;;;;;;;;7;\\\n"
                                 "1;2;N;4;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0");
    const ToolRun run = dump({path});
    const std::vector<std::string> lines = split(run.out, '\n');
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[1], "COLS 22");
    const std::vector<std::string> cells = split(lines[3], '\t');
    ASSERT_EQ(cells.size(), 22u);
    EXPECT_EQ(cells[0], "ANA\\tMARIA");
    EXPECT_EQ(cells[1], "C:\\\\PASTA\\\\");
    EXPECT_EQ(cells[2], "a\\\\tb");
    EXPECT_EQ(cells[3], "JOSÉ");
    EXPECT_EQ(cells[4], "OK");
    EXPECT_EQ(cells[20], "7");
    EXPECT_EQ(cells[21], "\\\\");
}

struct EndCase
{
    const char* name;
    std::function<QStringList(TestFiles&)> arguments;
    int exitCode;
    std::string out;
};

class DumpEnds : public ::testing::TestWithParam<EndCase>
{
};

TEST_P(DumpEnds, WithTheMessageAlone)
{
    TestFiles files;
    const ToolRun run = dump(GetParam().arguments(files));
    EXPECT_EQ(run.exitCode, GetParam().exitCode);
    EXPECT_EQ(run.out, GetParam().out);
}

const std::string kNotFound = "MESSAGE Arquivo Selecionado Não Existe\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, DumpEnds,
    ::testing::Values(
        EndCase{"EmptyPath", [](TestFiles&) { return QStringList{QString()}; }, 1,
                "MESSAGE Selecione um Arquivo de Retorno\n"},
        EndCase{"Missing", [](TestFiles& f) { return QStringList{f.path(QStringLiteral("x"))}; }, 1,
                kNotFound},
        EndCase{"Directory", [](TestFiles& f) { return QStringList{f.path(QString())}; }, 1,
                kNotFound},
        EndCase{"Hidden",
                [](TestFiles& f) { return QStringList{f.write(QStringLiteral(".r.txt"), "H")}; }, 1,
                kNotFound},
        EndCase{"NoFile", [](TestFiles&) { return QStringList{}; }, 2, ""},
        EndCase{"UnknownOption",
                [](TestFiles& f) {
                    return QStringList{QStringLiteral("--sumario"),
                                       f.write(QStringLiteral("r.txt"), "H")};
                },
                2, ""}),
    CaseName());
} // namespace
