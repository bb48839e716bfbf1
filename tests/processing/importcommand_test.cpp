#include "processing/importcommand.h"
#include "processing/returncodes.h"
#include "processing/textdecoding.h"
#include "sheet/resultsheet.h"
#include "sheet/returnfields.h"
#include "tests/support/casename.h"
#include "tests/support/failingdevice.h"
#include "tests/support/sheetrows.h"
#include "tests/support/testfiles.h"
#include "tools/returnfilegenerator.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <sys/stat.h>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {
using Row = std::vector<std::string>;

std::string msg(int column)
{
    return std::string(ReturnCodes::checkMessage(column));
}

std::string orientation(int code)
{
    return std::string(ReturnCodes::orientationMessages()[static_cast<std::size_t>(code - 1)]);
}

// A worker line without its line end: CPF "1", NIS "2", DN "4".
const std::string kAllPass = "0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0";

std::string worker(const std::string& name, const std::string& checks = kAllPass,
                   const std::string& orient = "0")
{
    return "1;2;" + name + ";4;" + checks + ";" + orient;
}

// The heading line every government file starts with.
std::string heading()
{
    std::string line;
    for (const std::string_view name : ReturnFields::kNames)
        (line += name) += ';';
    line.pop_back();
    return line;
}

std::string lowerHeading()
{
    std::string line = heading();
    for (char& c : line)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return "\xEF\xBB\xBF " + line;
}

using Changes = std::vector<std::pair<int, std::string>>;

// The row such a worker becomes, with some cells changed.
Row row(const std::string& name, const Changes& changed = {})
{
    Row cells{"1", "2", name, "4"};
    cells.resize(ReturnFields::kCount, "OK");
    for (const auto& [column, text] : changed) {
        if (static_cast<std::size_t>(column) > cells.size())
            cells.resize(static_cast<std::size_t>(column));
        cells[static_cast<std::size_t>(column - 1)] = text;
    }
    return cells;
}

// Check columns first to last showing their messages.
Changes failing(int first, int last, Changes more = {})
{
    for (int column = first; column <= last; ++column)
        more.emplace_back(column, msg(column));
    return more;
}

struct ImportCase
{
    const char* name;
    std::string bytes;
    std::vector<Row> rows; // shorter rows are padded with empty cells
};

class ImportFile : public ::testing::TestWithParam<ImportCase>
{
};

TEST_P(ImportFile, FillsTheSheetOnceFromTheWholeFile)
{
    const ImportCase& c = GetParam();
    TestFiles files;
    ResultSheet sheet;
    QSignalSpy aboutToReset(&sheet, &ResultSheet::sheetAboutToBeReset);
    QSignalSpy reset(&sheet, &ResultSheet::sheetReset);
    QSignalSpy cellChanged(&sheet, &ResultSheet::cellChanged);

    const CommandOutcome outcome =
        ImportCommand::run(files.write(QStringLiteral("retorno.txt"), c.bytes), sheet);

    ASSERT_TRUE(outcome.succeeded()) << outcome.messageText().toStdString();
    std::size_t width = ReturnFields::kCount;
    for (const Row& r : c.rows)
        width = std::max(width, r.size());
    std::vector<Row> expected = c.rows;
    for (Row& r : expected)
        r.resize(width);
    EXPECT_EQ(outcome.rows, static_cast<int>(expected.size()));
    EXPECT_EQ(sheet.RowCount(), static_cast<int>(expected.size()));
    EXPECT_EQ(sheet.ColCount(), static_cast<int>(width));
    EXPECT_EQ(sheetRows(sheet), expected);
    EXPECT_EQ(aboutToReset.count(), 1);
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(cellChanged.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ImportFile,
    ::testing::Values(
        ImportCase{"FinalEmptyLine",
                   "H\r\n" + worker("A") + "\r\n" + worker("B") + "\r\n" + worker("C") + "\r\n",
                   {row("A"), row("B"), row("C")}},
        ImportCase{"LastWorkerWithoutLineEnd",
                   "H\r\n" + worker("A") + "\r\n" + worker("B"),
                   {row("A"), row("B")}},
        ImportCase{"BlankLinesMakeNoRow",
                   "H\n\n \n" + worker("A") + "\n\t\n \t \n" + worker("B") + "\n\n  ",
                   {row("A"), row("B")}},
        ImportCase{"LfCrLfAndLoneCr",
                   "H\r" + worker("A") + "\r" + worker("B") + "\r\n" + worker("C") + "\n",
                   {row("A"), row("B"), row("C")}},
        ImportCase{"CheckCodesComparedExactly",
                   "H\n" + worker("A", " 0;00;;1;9;0 ;O;\t0;0;0;0;0;0;0;0;0"),
                   {row("A", failing(5, 12))}},
        ImportCase{"EveryCheckFailing",
                   "H\n" + worker("A", "1;1;1;1;1;1;1;1;1;1;1;1;1;1;1;1", "1"),
                   {row("A", failing(5, 20, {{21, orientation(1)}}))}},
        ImportCase{"OrientationTable",
                   "H\n" + worker("A", kAllPass, "2") + "\n" + worker("B", kAllPass, "3") + "\n" +
                       worker("C", kAllPass, "7") + "\n" + worker("D", kAllPass, "10") + "\n" +
                       worker("E", kAllPass, " 1") + "\n" + worker("F", kAllPass, ""),
                   {row("A", {{21, orientation(2)}}), row("B", {{21, orientation(3)}}),
                    row("C", {{21, "7"}}), row("D", {{21, "10"}}), row("E", {{21, " 1"}}),
                    row("F", {{21, ""}})}},
        ImportCase{"ShortLinesLeaveTheRestEmpty",
                   "H\nx\na;b;1\na;b;c;d;0;1\n" + worker("A"),
                   {{"x"}, {"a", "b", "1"}, {"a", "b", "c", "d", "OK", msg(6)}, row("A")}},
        ImportCase{"LineEndingInSemicolon",
                   "H\n" + worker("A") + ";\n" + worker("B"),
                   {row("A", {{22, ""}}), row("B")}},
        ImportCase{"MoreFieldsAreWrittenUnchanged",
                   "H\n" + worker("A") + ";x;0;1\n" + worker("B"),
                   {row("A", {{22, "x"}, {23, "0"}, {24, "1"}}), row("B")}},
        ImportCase{"BomGoesWithTheHeader", "\xEF\xBB\xBFH\r\n" + worker("ÁGUA"), {row("ÁGUA")}},
        ImportCase{"Windows1252Text",
                   "H\n" + worker("JOS\xC9 CONCEI\xC7\xC3O", kAllPass, "\xC9"),
                   {row("JOSÉ CONCEIÇÃO", {{21, "É"}})}},
        ImportCase{"EncodingDecidedPerLine",
                   "H\n" + worker("\xC3\x87") + "\n" + worker("\xC9") + "\n" +
                       worker("S\xC3\x94NIA"),
                   {row("Ç"), row("É"), row("SÔNIA")}},
        ImportCase{"JoinedFilesLoseTheSecondBom",
                   "\xEF\xBB\xBFH\n" + worker("A") + "\n\xEF\xBB\xBF" + worker("\xC9") +
                       "\n\xEF\xBB\xBF\n",
                   {row("A"), row("É")}},
        ImportCase{"NulBytesKept",
                   "H\n" + worker(std::string("A\0B", 3)) + "\n" + std::string(1, '\0') + "\n" +
                       worker("C"),
                   {row(std::string("A\0B", 3)), {std::string(1, '\0')}, row("C")}},
        ImportCase{"EmptyFile", "", {}}, ImportCase{"HeaderAlone", "H", {}},
        ImportCase{"HeaderAndBlankLines", "H\n\n\t\n  \r\n", {}},
        ImportCase{"HeaderSkippedWhateverItHolds", "H;E;A;D\n" + worker("A"), {row("A")}},
        ImportCase{"FirstWorkerKeptWithoutHeading",
                   worker("A") + "\n" + worker("B"),
                   {row("A"), row("B")}},
        ImportCase{"HeadingInAnyCase", lowerHeading() + "\n" + worker("A"), {row("A")}},
        ImportCase{"JoinedFilesLoseTheSecondHeading",
                   heading() + "\r\n" + worker("A") + "\r\n\xEF\xBB\xBF" + heading() + "\r\n" +
                       worker("B") + "\n" + lowerHeading() + "\n",
                   {row("A"), row("B")}},
        ImportCase{"EmptyHeaderLine", "\n" + worker("A"), {row("A")}}),
    CaseName());

// A sheet that an earlier import and optimisation left behind.
void fillEarlier(ResultSheet& sheet)
{
    for (int r = 1; r <= 4; ++r) {
        for (int c = 1; c <= 23; ++c)
            sheet.SetCellText(r, c, QStringLiteral("r%1c%2").arg(r).arg(c));
    }
    sheet.SetRowCount(4);
    sheet.SetColumnsHidden(5, 21, true);
}

// What the load found odd is said once, after it: no worker at all, a
// first line that was a worker, headings of joined files, lines without the
// 21 fields (how many, and the file line of the first, heading and blank
// lines counted).
TEST(ImportCommand, TellsWhatItFoundOddInTheFile)
{
    const std::pair<std::string, const char*> cases[] = {
        {"H\r\n" + worker("A") + "\r\n" + worker("B") + "\r\n", ""},
        {"H\n" + worker("A") + "\n1;2;CURTA;4;0\n" + worker("B"),
         "1 linha do Arquivo Selecionado não tem os 21 campos de um Arquivo de Retorno: a linha "
         "3."},
        {"H\n\n" + worker("A") + "\n" + worker("B") + ";\n1;2\n",
         "2 linhas do Arquivo Selecionado não têm os 21 campos de um Arquivo de Retorno; a "
         "primeira é a linha 4."},
        {"", "O arquivo não tem nenhum trabalhador."},
        {heading() + "\r\n\r\n \r\n", "O arquivo não tem nenhum trabalhador."},
        {worker("A") + "\n" + worker("B") + "\n" + heading() + "\n" + worker("C") + "\n1;2\n",
         "O Arquivo Selecionado não começa pela linha de títulos: a primeira linha foi carregada "
         "como trabalhador.\nA linha 3 repete a linha de títulos (arquivos juntados) e não foi "
         "carregada.\n1 linha do Arquivo Selecionado não tem os 21 campos de um Arquivo de "
         "Retorno: a linha 5."},
        {heading() + "\n" + worker("A") + "\n" + lowerHeading() + "\n" + heading(),
         "2 linhas repetem a linha de títulos (arquivos juntados) e não foram carregadas; a "
         "primeira é a linha 3."},
    };
    for (const auto& [bytes, warning] : cases) {
        TestFiles files;
        ResultSheet sheet;
        const CommandOutcome outcome =
            ImportCommand::run(files.write(QStringLiteral("retorno.txt"), bytes), sheet);
        ASSERT_TRUE(outcome.succeeded());
        EXPECT_EQ(outcome.warningText().toStdString(), warning) << bytes;
        EXPECT_EQ(outcome.noWorkers, sheet.RowCount() == 0) << bytes;
    }
}

// A file still being copied stops mid-line: its last fragment, without a
// line end and short of the 21 fields, is no worker and is not loaded, and
// the clerk is told where the file stops. A short line that ends, or a last
// worker with its 21 fields, is loaded as ever.
TEST(ImportCommand, ACopyCutMidLineLeavesOutItsLastFragment)
{
    const std::string cutTold = "O Arquivo Selecionado parece cortado na linha %1, a última: ela "
                                "não tem os 21 campos nem o fim de linha, e não foi carregada. "
                                "Copie o arquivo de novo.";
    const auto cutAt = [&](const char* line) {
        return QString::fromStdString(cutTold).arg(QLatin1String(line)).toStdString();
    };
    struct Case
    {
        std::string bytes;
        std::vector<Row> rows;
        std::string warning;
    };
    const Case cases[] = {
        {heading() + "\r\n" + worker("A") + "\r\n" + worker("B") + "\r\n07",
         {row("A"), row("B")},
         cutAt("4")},
        {heading() + "\n" + worker("A") + "\n1;2;NO", {row("A")}, cutAt("3")},
        {heading() + "\n07", {}, "O arquivo não tem nenhum trabalhador.\n" + cutAt("2")},
        {heading() + "\n" + worker("A") + "\n" + heading() + "\n" + worker("B") + "\n" +
             worker("C").substr(0, 30),
         {row("A"), row("B")},
         "A linha 3 repete a linha de títulos (arquivos juntados) e não foi carregada.\n" +
             cutAt("5")},
        {heading() + "\n" + worker("A") + "\n07\n",
         {row("A"), {"07"}},
         "1 linha do Arquivo Selecionado não tem os 21 campos de um Arquivo de Retorno: a linha "
         "3."},
        {heading() + "\n" + worker("A") + "\n" + worker("B"), {row("A"), row("B")}, ""},
        // Copied no further than into the heading, or no return file at all.
        {heading().substr(0, 10), {}, "O arquivo não tem nenhum trabalhador.\n" + cutAt("1")},
        {"Lista de compras", {}, "O arquivo não tem nenhum trabalhador."},
    };
    for (const Case& c : cases) {
        TestFiles files;
        ResultSheet sheet;
        const CommandOutcome outcome =
            ImportCommand::run(files.write(QStringLiteral("retorno.txt"), c.bytes), sheet);
        ASSERT_TRUE(outcome.succeeded()) << c.bytes;
        std::vector<Row> expected = c.rows;
        for (Row& r : expected)
            r.resize(ReturnFields::kCount);
        EXPECT_EQ(sheetRows(sheet), expected) << c.bytes;
        EXPECT_EQ(outcome.rows, static_cast<int>(c.rows.size())) << c.bytes;
        EXPECT_EQ(outcome.warningText().toStdString(), c.warning) << c.bytes;
    }
}

TEST(ImportCommand, StartsFromAnEmptySheet)
{
    TestFiles files;
    ResultSheet sheet;
    fillEarlier(sheet);
    const QString path = files.write(QStringLiteral("r.txt"), "H\n" + worker("A") + "\nx;y\n");
    ASSERT_TRUE(ImportCommand::run(path, sheet).succeeded());
    EXPECT_EQ(sheet.ColCount(), ReturnFields::kCount);
    Row shortRow{"x", "y"};
    shortRow.resize(ReturnFields::kCount);
    EXPECT_EQ(sheetRows(sheet), (std::vector<Row>{row("A"), shortRow}));
    for (int c = 1; c <= ReturnFields::kCount; ++c)
        EXPECT_FALSE(sheet.IsColumnHidden(c)) << c;
    // Nothing of the earlier rows waits past the new ones.
    sheet.SetRowCount(4);
    for (int r = 3; r <= 4; ++r) {
        for (int c = 1; c <= 23; ++c)
            EXPECT_TRUE(sheet.CellText(r, c).isEmpty()) << r << ',' << c;
    }
}

struct FailureCase
{
    const char* name;
    // Returns the path to import; may set options.
    std::function<QString(TestFiles&, ImportCommand::Options&)> make;
    QString message;
};

class ImportFailure : public ::testing::TestWithParam<FailureCase>
{
};

// Whatever goes wrong, the user gets a message and keeps the cells; only the
// columns are shown again.
TEST_P(ImportFailure, ShowsTheMessageAndKeepsEveryCell)
{
    TestFiles files;
    ResultSheet sheet;
    fillEarlier(sheet);
    const std::vector<Row> before = sheetRows(sheet);
    const int columnsBefore = sheet.ColCount();
    ImportCommand::Options options;
    const QString path = GetParam().make(files, options);
    QSignalSpy reset(&sheet, &ResultSheet::sheetReset);
    QSignalSpy cellChanged(&sheet, &ResultSheet::cellChanged);

    const CommandOutcome outcome = ImportCommand::run(path, sheet, options);

    EXPECT_EQ(outcome.messageText(), GetParam().message);
    EXPECT_EQ(CommandOutcome::messageTitle(), QStringLiteral("Atenção"));
    EXPECT_EQ(sheet.RowCount(), 4);
    EXPECT_EQ(sheet.ColCount(), columnsBefore);
    EXPECT_EQ(sheetRows(sheet), before);
    EXPECT_EQ(reset.count() + cellChanged.count(), 0);
    for (int c = 1; c <= ReturnFields::kCount; ++c)
        EXPECT_FALSE(sheet.IsColumnHidden(c)) << c;
}

const QString kNotFound = QStringLiteral("Arquivo Selecionado Não Existe");
const QString kCannotRead = QStringLiteral("Não foi possível ler o Arquivo Selecionado");
const QString kNotAReturnFile =
    QStringLiteral("O Arquivo Selecionado não é um Arquivo de Retorno: nenhuma linha tem os 21 "
                   "campos separados por \";\". Nada foi carregado.");

INSTANTIATE_TEST_SUITE_P(
    Cases, ImportFailure,
    ::testing::Values(
        FailureCase{"EmptyPath", [](TestFiles&, auto&) { return QString(); },
                    QStringLiteral("Selecione um Arquivo de Retorno")},
        FailureCase{"Missing", [](TestFiles& f, auto&) { return f.path(QStringLiteral("no.txt")); },
                    kNotFound},
        FailureCase{"Directory", [](TestFiles& f, auto&) { return f.path(QString()); }, kNotFound},
        FailureCase{"VanishesAfterTheCheck",
                    [](TestFiles& f, ImportCommand::Options& options) {
                        const QString path = f.write(QStringLiteral("r.txt"), "H\n" + worker("A"));
                        options.afterPathCheck = [path] { QFile::remove(path); };
                        return path;
                    },
                    kCannotRead},
        FailureCase{"TooManyRows",
                    [](TestFiles& f, ImportCommand::Options& options) {
                        options.maxRows = 2;
                        return f.write(QStringLiteral("r.txt"), "H\n" + worker("A") + "\n" +
                                                                    worker("B") + "\n" +
                                                                    worker("C"));
                    },
                    QStringLiteral("O Arquivo Selecionado tem mais de 16.777.216 trabalhadores")},
        // Files that are not a return file: loaded, they would put their
        // bytes where the clerk's result was.
        FailureCase{"ShoppingList",
                    [](TestFiles& f, auto&) {
                        return f.write(QStringLiteral("lista.txt"),
                                       "Lista de compras\narroz\nfeijão; farinha\n");
                    },
                    kNotAReturnFile},
        // Its last line, without an end and short of the 21 fields, is no
        // cut return file's.
        FailureCase{"AListWithoutItsLastLineEnd",
                    [](TestFiles& f, auto&) {
                        return f.write(QStringLiteral("lista.txt"), "nome;cpf\nJOSÉ;123");
                    },
                    kNotAReturnFile},
        FailureCase{"TheGovernmentsOtherFile",
                    [](TestFiles& f, auto&) {
                        return f.write(QStringLiteral("D.CNS.CPF.003.TXT.REJEITADO"),
                                       "CPF;NIS;NOME;DN;MOTIVO\n1;2;A;4;CPF INVALIDO\n1;2;B;4;"
                                       "NIS INVALIDO\n");
                    },
                    kNotAReturnFile},
        FailureCase{"Utf16WithoutItsMark",
                    [](TestFiles& f, auto&) {
                        std::string utf16;
                        for (const char c : heading() + "\r\n" + worker("A") + "\r\n")
                            (utf16 += c) += '\0';
                        return f.write(QStringLiteral("r.txt"), utf16);
                    },
                    kNotAReturnFile},
        FailureCase{"AWorkbook",
                    [](TestFiles& f, auto&) {
                        std::mt19937 random(3);
                        std::string bytes = std::string("PK\x03\x04", 4);
                        for (int i = 0; i < 20'000; ++i)
                            bytes += static_cast<char>(random() % 256);
                        return f.write(QStringLiteral("Planilhas1.xlsx"), bytes);
                    },
                    kNotAReturnFile}),
    CaseName());

#ifndef _WIN32 // FIFOs are POSIX's
INSTANTIATE_TEST_SUITE_P(
    Posix, ImportFailure,
    ::testing::Values(
        // Were the FIFO let through, opening it would wait for a writer for
        // ever; the hook takes it away first, so the test fails, not hangs.
        FailureCase{"Fifo",
                    [](TestFiles& f, ImportCommand::Options& options) {
                        const QString path = f.path(QStringLiteral("f.fifo"));
                        if (::mkfifo(QFile::encodeName(path).constData(), 0600) != 0)
                            throw std::runtime_error("cannot make a FIFO");
                        options.afterPathCheck = [path] {
                            ADD_FAILURE() << "a FIFO passed the path check";
                            QFile::remove(path);
                        };
                        return path;
                    },
                    kNotFound},
        // Root reads every file: the open is made as nobody, and the
        // options, which hold the way back, outlive the checks.
        FailureCase{"NoPermission",
                    [](TestFiles& f, ImportCommand::Options& options) {
                        const QString path = f.write(QStringLiteral("r.txt"), "H\n" + worker("A"));
                        ::chmod(QFile::encodeName(path).constData(), 0);
                        const std::shared_ptr<void> back(nullptr, [euid = ::geteuid()](void*) {
                            if (::seteuid(euid) != 0)
                                std::abort();
                        });
                        options.afterPathCheck = [back] {
                            if (::geteuid() == 0 && ::seteuid(65534) != 0)
                                ADD_FAILURE() << "cannot become nobody";
                        };
                        return path;
                    },
                    QStringLiteral("Não foi possível ler o Arquivo "
                                   "Selecionado: não há permissão para ler "
                                   "esse arquivo.")}),
    CaseName());
#else
INSTANTIATE_TEST_SUITE_P(
    Windows, ImportFailure,
    ::testing::Values(
        // Held by another handle that shares nothing, as a spreadsheet holds a
        // file open for editing, until the checks are done.
        FailureCase{"OpenInAnotherProgram",
                    [](TestFiles& f, ImportCommand::Options& options) {
                        const QString path = f.write(QStringLiteral("r.txt"), "H\n" + worker("A"));
                        HANDLE held = CreateFileW(path.toStdWString().c_str(), GENERIC_READ, 0,
                                                  nullptr, OPEN_EXISTING, 0, nullptr);
                        if (held == INVALID_HANDLE_VALUE)
                            throw std::runtime_error("cannot hold the file");
                        const std::shared_ptr<void> holder(held, CloseHandle);
                        options.afterPathCheck = [holder] {};
                        return path;
                    },
                    QStringLiteral("Não foi possível ler o Arquivo Selecionado: o arquivo está "
                                   "aberto em outro programa.")}),
    CaseName());
#endif

TEST(ImportCommand, RowLimitCountsWorkersNotBlankLines)
{
    QByteArray bytes =
        QByteArray::fromStdString("H\n" + worker("A") + "\n" + worker("B") + "\n\n \n");
    QBuffer device(&bytes);
    ASSERT_TRUE(device.open(QIODevice::ReadOnly));
    ResultSheet sheet;
    ImportCommand::Options options;
    options.maxRows = 2;
    EXPECT_EQ(ImportCommand::load(device, sheet, options).rows, 2);
}

struct DeviceFailure
{
    const char* name;
    std::string bytes;
    qint64 failAt;
};

class ImportDeviceFailure : public ::testing::TestWithParam<DeviceFailure>
{
};

TEST_P(ImportDeviceFailure, CannotReadAndChangesNoCell)
{
    FailingDevice device(QByteArray::fromStdString(GetParam().bytes), GetParam().failAt);
    ResultSheet sheet;
    fillEarlier(sheet);
    const std::vector<Row> before = sheetRows(sheet);
    const CommandOutcome outcome = ImportCommand::load(device, sheet, {});
    EXPECT_EQ(outcome.messageText(), kCannotRead);
    EXPECT_EQ(sheetRows(sheet), before);
}

const std::string kTwoWorkers = "H\r\n" + worker("A") + "\r\n" + worker("B") + "\r\n";

INSTANTIATE_TEST_SUITE_P(Cases, ImportDeviceFailure,
                         ::testing::Values(DeviceFailure{"AtOnce", kTwoWorkers, 0},
                                           DeviceFailure{"InTheHeader", kTwoWorkers, 1},
                                           DeviceFailure{"MidWorker", kTwoWorkers, 10},
                                           DeviceFailure{
                                               "BeforeTheLastLine", kTwoWorkers,
                                               static_cast<qint64>(kTwoWorkers.size() - 3)}),
                         CaseName());

CommandOutcome loadBytes(const std::string& bytes, ResultSheet& sheet)
{
    QByteArray data = QByteArray::fromStdString(bytes);
    QBuffer device(&data);
    device.open(QIODevice::ReadOnly);
    return ImportCommand::load(device, sheet, {});
}

TEST(ImportBadInput, BinaryGarbageGivesASaneSheet)
{
    std::mt19937 random(7);
    std::string bytes(1 << 18, '\0');
    for (char& b : bytes)
        b = static_cast<char>(random() % 40 == 0 ? ';' : random() % 256);
    // One worker line makes it a return file, however odd its other lines.
    ResultSheet sheet;
    const CommandOutcome outcome = loadBytes(bytes + "\n" + worker("A"), sheet);
    ASSERT_TRUE(outcome.succeeded());
    EXPECT_GT(sheet.RowCount(), 100);
    EXPECT_EQ(outcome.rows, sheet.RowCount());
    EXPECT_GT(sheet.ColCount(), ReturnFields::kCount);
    EXPECT_LE(sheet.ColCount(), ResultSheet::kMaxColumns);
    for (int r = 1; r <= sheet.RowCount(); ++r) {
        for (int c = 1; c <= sheet.ColCount(); ++c) {
            const std::string_view text = sheet.CellUtf8(r, c);
            ASSERT_TRUE(TextDecoding::isValidUtf8(text)) << r << ',' << c;
            EXPECT_EQ(text.find_first_of("\r\n"), std::string_view::npos);
            if (c >= 5 && c <= 20 && !text.empty()) {
                EXPECT_TRUE(text == "OK" || text == msg(c)) << r << ',' << c;
            }
        }
    }
}

// A field far longer than 32,767 characters, and the ";" after it, are read whole.
TEST(ImportBadInput, FiftyMegabyteLine)
{
    const std::string name(50'000'000, 'N');
    ResultSheet sheet;
    ASSERT_TRUE(
        loadBytes("H\n" + worker(name, "0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;1"), sheet).succeeded());
    ASSERT_EQ(sheet.RowCount(), 1);
    EXPECT_EQ(sheet.CellUtf8(1, 3).size(), name.size());
    EXPECT_EQ(sheet.CellUtf8(1, 19), "OK");
    EXPECT_EQ(sheet.CellUtf8(1, 20), msg(20));
    EXPECT_EQ(sheet.CellUtf8(1, 21), "OK");
}

TEST(ImportBadInput, HundredThousandSemicolonsStopAtTheColumnLimit)
{
    std::string line = "1";
    for (int field = 2; field <= 100'001; ++field) {
        line += ';';
        line += std::to_string(field);
    }
    ResultSheet sheet;
    ASSERT_TRUE(loadBytes("H\n" + line + "\n" + worker("B"), sheet).succeeded());
    ASSERT_EQ(sheet.RowCount(), 2);
    EXPECT_EQ(sheet.ColCount(), ResultSheet::kMaxColumns);
    EXPECT_EQ(sheet.CellUtf8(1, 5), msg(5));
    EXPECT_EQ(sheet.CellUtf8(1, 21), "21");
    EXPECT_EQ(sheet.CellUtf8(1, 22), "22");
    EXPECT_EQ(sheet.CellUtf8(1, 1024), "1024");
    EXPECT_EQ(sheet.CellUtf8(2, 3), "B");
    EXPECT_EQ(sheet.CellUtf8(2, 1024), "");
}

TEST(ImportBadInput, MillionBlankLines)
{
    std::string bytes = "H\r\n";
    for (int i = 0; i < 1'000'000; ++i)
        bytes += i % 3 == 0 ? "\r\n" : i % 3 == 1 ? " \n" : "\t\r";
    ResultSheet sheet;
    ASSERT_TRUE(loadBytes(bytes + worker("A") + "\r\n", sheet).succeeded());
    EXPECT_EQ(sheetRows(sheet), std::vector<Row>{row("A")});
}

// Lines are counted past 32,767.
TEST(ImportCommand, FortyThousandWorkers)
{
    ReturnFileGenerator generator;
    const std::string text = generator.file(40'000);
    ResultSheet sheet;
    ASSERT_EQ(loadBytes(text, sheet).rows, 40'000);
    const std::size_t last = text.rfind('\n', text.size() - 2) + 1;
    const std::string lastLine = text.substr(last, text.find(';', last) - last);
    EXPECT_EQ(sheet.CellUtf8(40'000, 1), lastLine);
}
} // namespace
