#include "processing/printcommand.h"
#include "sheet/export/sheetfile.h"
#include "sheet/print/pdfprintdialog.h"
#include "sheet/print/printhandler.h"
#include "sheet/progress.h"
#include "sheet/resultsheet.h"
#include "sheet/sheettemplate.h"
#include "tests/support/casename.h"
#include "tests/support/pdftext.h"
#include "tests/support/testfiles.h"
#include "tests/support/xlsxbook.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <csignal>
#include <map>
#include <sys/resource.h>
#include <utility>

using namespace Qt::Literals::StringLiterals;

namespace {
using Format = SheetFile::Format;
using Status = SheetFile::Result::Status;

// A worker's row: the given cells over a row of "OK" checks.
void setRow(ResultSheet& sheet, int row, std::map<int, QString> cells)
{
    for (int col = 1; col <= SheetTemplate::kColumns; ++col)
        sheet.SetCellText(row, col, cells.count(col) ? cells[col] : QStringLiteral("OK"));
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

QStringList headingsWithout(std::initializer_list<int> hidden)
{
    QStringList out;
    for (int col = 1; col <= SheetTemplate::kColumns; ++col) {
        if (std::find(hidden.begin(), hidden.end(), col) == hidden.end())
            out.append(SheetTemplate::heading(col));
    }
    return out;
}

// Digits with leading zeros, accents, a cell past the format's length, a
// hidden data column and a hidden check, and rows enough to fill three
// worksheets of two rows.
TEST(XlsxFile, HoldsWhatTheGridShowsAsTextWithItsSummary)
{
    if (!XlsxBook::available())
        GTEST_SKIP() << "python3-openpyxl is not installed";
    TestFiles files;
    ResultSheet sheet;
    const QString tooLong = QString(40'000, QChar(0xC3)); // "Ã", two bytes in UTF-8
    setRow(sheet, 1,
           {{1, u"01234567890"_s},
            {2, u"00012345678"_s},
            {3, u"JOÃO SÁ"_s},
            {4, u"01011980"_s},
            {5, u"NIS inválido"_s},
            {7, u"NOME inválido"_s}});
    setRow(sheet, 2,
           {{1, u"00000000191"_s}, {3, u"SÔNIA"_s}, {4, u"02021990"_s}, {6, u"CPF inválido"_s}});
    setRow(sheet, 3, {{1, u"1"_s}, {3, tooLong}, {5, u"NIS inválido"_s}, {21, u"=SOMA(A1)"_s}});
    setRow(sheet, 4, {{1, u"2"_s}, {5, u"NIS inconsistente"_s}});
    setRow(sheet, 5, {{1, u"3"_s}, {3, u""_s}});
    sheet.SetRowCount(5);
    sheet.SetColumnsHidden(2, 2, true);
    sheet.SetColumnsHidden(7, 7, true);

    const QString path = files.path(QStringLiteral("saida.xlsx"));
    SheetFile::Options split;
    split.xlsxRowsPerSheet = 2;
    ASSERT_TRUE(SheetFile::save(sheet, path, Format::Xlsx, nullptr, split).saved());
    const XlsxBook book = XlsxBook::read(path);
    ASSERT_EQ(book.sheets.size(), 4u);

    const QStringList headings = headingsWithout({2, 7});
    for (int n = 0; n < 3; ++n) {
        const XlsxBook::Sheet& ws = book.sheets[std::size_t(n)];
        SCOPED_TRACE(ws.name.toStdString());
        EXPECT_EQ(ws.name, QStringLiteral("Planilhas%1").arg(n + 1));
        EXPECT_EQ(ws.types, QStringList{QStringLiteral("s")}); // text only, never a number
        EXPECT_TRUE(ws.boldHeading);
        EXPECT_EQ(ws.frozen, QStringLiteral("A2"));
        ASSERT_FALSE(ws.rows.empty());
        EXPECT_EQ(ws.rows[0], headings);
        const int first = 2 * n + 1;
        const int last = std::min(first + 1, 5);
        EXPECT_EQ(ws.autofilter, QStringLiteral("A1:S%1").arg(last - first + 2));
        ASSERT_EQ(ws.rows.size(), std::size_t(last - first + 2));
        for (int row = first; row <= last; ++row) {
            QStringList expected;
            for (int col = 1; col <= SheetTemplate::kColumns; ++col) {
                if (!sheet.IsColumnHidden(col))
                    expected.append(sheet.CellText(row, col).left(32'767));
            }
            EXPECT_EQ(ws.rows[std::size_t(row - first + 1)], expected) << "row " << row;
        }
    }

    // The totals; every shown check with its workers with problems; then
    // each message, the orientation's instructions last.
    const XlsxBook::Sheet& summary = book.sheets[3];
    EXPECT_EQ(summary.name, QStringLiteral("Resumo"));
    std::vector<QStringList> expected = {
        {u"Trabalhadores na planilha"_s, u""_s, u"5"_s},
        {u"Trabalhadores com alguma verificação diferente de OK"_s, u""_s, u"4"_s},
        {u"Trabalhadores com orientação"_s, u""_s, u"1"_s},
        {u""_s, u""_s, u""_s},
        {u"Verificação"_s, u"Trabalhadores com problema"_s, u""_s}};
    for (int col = 5; col <= 20; ++col) {
        if (col != 7)
            expected.push_back({SheetTemplate::heading(col),
                                QString::number(col == 5   ? 3
                                                : col == 6 ? 1
                                                           : 0),
                                u""_s});
    }
    expected.push_back({u""_s, u""_s, u""_s});
    expected.push_back({u"Verificação"_s, u"Mensagem"_s, u"Trabalhadores"_s});
    expected.push_back({u"COD_NIS_INV"_s, u"NIS inválido"_s, u"2"_s});
    expected.push_back({u"COD_NIS_INV"_s, u"NIS inconsistente"_s, u"1"_s});
    expected.push_back({u"COD_CPF_INV"_s, u"CPF inválido"_s, u"1"_s});
    expected.push_back({u"COD_ORIENTACAO_NIS"_s, u"=SOMA(A1)"_s, u"1"_s});
    EXPECT_EQ(summary.rows, expected);
    ASSERT_EQ(book.barCharts.size(), 1u);
    EXPECT_EQ(book.barCharts[0], (QStringList{u"Resumo!$A$6:$A$20"_s, u"Resumo!$B$6:$B$20"_s}));

    // Printed as the program prints: A4 portrait, the template's margins,
    // the sheet's name on top and the page number below, the heading row on
    // every page and CPF, NIS and NOME on the left of every page; the
    // summary's chart on a page of its own.
    const QString setup = QStringLiteral(
        "paper=9 portrait margins=0.75,0.75,1.0,1.0,0.5,0.5 header=&A footer=Página &P "
        "gridlines=True centred=True titles=");
    EXPECT_EQ(book.sheets[0].printSetup.toStdString(),
              (setup + QStringLiteral("$1:$1;$A:$C breaks=")).toStdString());
    EXPECT_EQ(summary.printSetup.toStdString(),
              (setup + QStringLiteral("; breaks=%1").arg(expected.size() + 1)).toStdString());
}

TEST(CsvFile, QuotesAndGuardsFieldsForSpreadsheets)
{
    TestFiles files;
    ResultSheet sheet;
    setRow(sheet, 1,
           {{1, u"01234567890"_s}, {2, u"=1+1"_s}, {3, u"JOÃO; SÁ"_s}, {4, u"01011980"_s}});
    setRow(sheet, 2, {{1, u"+55"_s}, {2, u"-5"_s}, {3, u"@soma"_s}, {4, u"diz \"oi\""_s}});
    setRow(sheet, 3, {{1, u"linha\r\nnova"_s}, {2, u""_s}, {3, u"a\nb"_s}, {4, u"=A1;B1"_s}});
    sheet.SetRowCount(3);
    sheet.SetColumnsHidden(5, 21, true);

    const QString path = files.path(QStringLiteral("saida.csv"));
    ASSERT_TRUE(SheetFile::save(sheet, path, Format::Csv).saved());
    EXPECT_EQ(contents(path), QByteArray("\xEF\xBB\xBF"
                                         "CPF;NIS;NOME;DN\r\n"
                                         "01234567890;'=1+1;\"JOÃO; SÁ\";01011980\r\n"
                                         "'+55;'-5;'@soma;\"diz \"\"oi\"\"\"\r\n"
                                         "\"linha\r\nnova\";;\"a\nb\";\"'=A1;B1\"\r\n"));
}

// The saved PDF is the printout the printer button makes, and saving it
// leaves the selection as the user had it.
TEST(PdfFile, IsThePrintout)
{
    if (!PdfText::available())
        GTEST_SKIP() << "pdftotext and pdftoppm (poppler-utils) are not installed";
    TestFiles files;
    ResultSheet sheet;
    for (int row = 1; row <= 70; ++row)
        setRow(sheet, row, {{1, QString::number(row)}, {3, QStringLiteral("NOME %1").arg(row)}});
    sheet.SetRowCount(70);
    sheet.SetColumnsHidden(4, 4, true);
    sheet.SetSelection(3, 2, 4, 5);

    const QString saved = files.path(QStringLiteral("salvo.pdf"));
    ASSERT_TRUE(SheetFile::save(sheet, saved, Format::Pdf).saved());
    EXPECT_EQ(sheet.Selection(), (CellRange{3, 2, 4, 5}));

    const QString printed = files.path(QStringLiteral("impresso.pdf"));
    sheet.SetPrintHandler(makePrintHandler(std::make_shared<PdfPrintDialog>(printed)));
    ASSERT_TRUE(PrintCommand::run(sheet));
    const std::vector<PdfText::Page> a = PdfText::pages(saved);
    const std::vector<PdfText::Page> b = PdfText::pages(printed);
    ASSERT_GT(a.size(), 1u);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t p = 0; p < a.size(); ++p) {
        ASSERT_EQ(a[p].words.size(), b[p].words.size());
        for (std::size_t w = 0; w < a[p].words.size(); ++w) {
            EXPECT_EQ(a[p].words[w].text, b[p].words[w].text);
            EXPECT_EQ(a[p].words[w].box, b[p].words[w].box);
        }
    }
}

// The user who stops the save at once.
class StopAtOnce final : public Progress
{
public:
    bool advance(int, int) override { return false; }
};

// Files stop growing past this size, as on a full disk.
class DiskFull
{
public:
    explicit DiskFull(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &before_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = before_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~DiskFull()
    {
        setrlimit(RLIMIT_FSIZE, &before_);
        std::signal(SIGXFSZ, previous_);
    }
    DiskFull(const DiskFull&) = delete;
    DiskFull& operator=(const DiskFull&) = delete;

private:
    rlimit before_{};
    void (*previous_)(int) = nullptr;
};

struct Failure
{
    const char* name;
    Format format;
    enum
    {
        Full,
        Cancelled,
        NoFolder
    } how;
};

class SaveFailureTest : public ::testing::TestWithParam<Failure>
{
};

// A save that fails or is cancelled leaves the earlier file as it was and no
// temporary file behind; only a failure has a message.
TEST_P(SaveFailureTest, LeavesTheEarlierFileAndNoPartOfANewOne)
{
    const Failure& c = GetParam();
    TestFiles files;
    ResultSheet sheet;
    for (int row = 1; row <= 3000; ++row)
        setRow(sheet, row, {{1, QString::number(row)}, {3, QStringLiteral("NOME %1").arg(row)}});
    sheet.SetRowCount(3000);
    const QString name = QStringLiteral("saida.") + SheetFile::extension(c.format);
    const QString path = files.write(name, "anterior");
    const QDir folder = QFileInfo(path).dir();
    const QString target =
        c.how == Failure::NoFolder ? folder.filePath(QStringLiteral("nada/") + name) : path;

    SheetFile::Result result;
    StopAtOnce stop;
    if (c.how == Failure::Full) {
        const DiskFull full(64 * 1024);
        result = SheetFile::save(sheet, target, c.format);
    } else {
        result =
            SheetFile::save(sheet, target, c.format, c.how == Failure::Cancelled ? &stop : nullptr);
    }

    EXPECT_EQ(result.status, c.how == Failure::Cancelled ? Status::Cancelled : Status::Failed);
    EXPECT_EQ(result.error.contains(target), c.how != Failure::Cancelled)
        << result.error.toStdString();
    EXPECT_EQ(folder.entryList(QDir::Files | QDir::Hidden), QStringList{name});
    EXPECT_EQ(contents(path), QByteArray("anterior"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SaveFailureTest,
    ::testing::Values(Failure{"XlsxDiskFull", Format::Xlsx, Failure::Full},
                      Failure{"CsvDiskFull", Format::Csv, Failure::Full},
                      Failure{"PdfDiskFull", Format::Pdf, Failure::Full},
                      Failure{"XlsxCancelled", Format::Xlsx, Failure::Cancelled},
                      Failure{"CsvCancelled", Format::Csv, Failure::Cancelled},
                      Failure{"PdfCancelled", Format::Pdf, Failure::Cancelled},
                      Failure{"CsvFolderMissing", Format::Csv, Failure::NoFolder}),
    CaseName());
} // namespace

// A result is offered under its return file's name, the government's
// ".TXT.PROCESSADO" ending dropped whatever its case.
TEST(SheetFileName, DropsTheReturnFilesEndings)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/rh/D.CNS.CPF.002.20261201093000.12345678000199.12345678901.TXT.PROCESSADO",
         "D.CNS.CPF.002.20261201093000.12345678000199.12345678901.xlsx"},
        {"D.CNS.CPF.002.20261201093000.12345678000199.12345678901.txt.processado",
         "D.CNS.CPF.002.20261201093000.12345678000199.12345678901.xlsx"},
        {"retorno.PROCESSADO", "retorno.xlsx"},
        {"retorno.txt", "retorno.xlsx"},
        {"retorno.csv", "retorno.xlsx"},
        {"retorno.de.junho", "retorno.de.xlsx"},
        {"retorno", "retorno.xlsx"},
    };
    for (const auto& [returnFile, expected] : cases)
        EXPECT_EQ(SheetFile::resultName(QString::fromUtf8(returnFile), SheetFile::Format::Xlsx),
                  QString::fromUtf8(expected))
            << returnFile;
}
