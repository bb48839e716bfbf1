#include "sheet/export/tablefile.h"
#include "sheet/progress.h"
#include "tests/support/casename.h"
#include "tests/support/pdftext.h"
#include "tests/support/testfiles.h"
#include "tests/support/xlsxbook.h"

#include <QFile>

#include <gtest/gtest.h>

#include <map>
#include <utility>

using namespace Qt::Literals::StringLiterals;

namespace {
using Format = SheetFile::Format;

// Cells the formats must keep apart: a separator, a line break, a text a
// spreadsheet would run as a formula, an empty cell, accents, numbers.
Table sample()
{
    Table table;
    table.sheetName = u"Visão geral"_s;
    table.title = u"Salários & férias"_s;
    table.headings = {u"Empresa"_s, u"Trabalhadores"_s};
    table.rows = {{u"Açúcar; Cia"_s, std::int64_t{3}},
                  {u"=SOMA(1)"_s, u""_s},
                  {u"linha\nduas"_s, std::int64_t{-7}}};
    return table;
}

TEST(TableFile, CsvIsTheGridsDialect)
{
    TestFiles files;
    const QString path = files.path(u"t.csv"_s);
    Table table = sample();
    // A lone dash runs nothing and reads as itself; a text that starts with
    // one may.
    table.rows.push_back({u"-"_s, u"-1+1"_s});
    ASSERT_TRUE(TableFile::save(table, path, Format::Csv).saved());
    EXPECT_EQ(TestFiles::read(path).toStdString(), std::string("\xEF\xBB\xBF"
                                                               "Empresa;Trabalhadores\r\n"
                                                               "\"Açúcar; Cia\";3\r\n"
                                                               "'=SOMA(1);\r\n"
                                                               "\"linha\nduas\";-7\r\n"
                                                               "-;'-1+1\r\n"));
}

// Read back by an independent reader: numbers as numbers, the heading bold
// and frozen, and a print setup of its own, the title on top.
TEST(TableFile, WorkbookKeepsNumbersAndPrintsItsOwnSetup)
{
    if (!XlsxBook::available())
        GTEST_SKIP() << "python3-openpyxl is not installed";
    TestFiles files;
    const QString path = files.path(u"t.xlsx"_s);
    ASSERT_TRUE(TableFile::save(sample(), path, Format::Xlsx).saved());
    const XlsxBook book = XlsxBook::read(path);
    ASSERT_EQ(book.sheets.size(), 1u);
    const XlsxBook::Sheet& sheet = book.sheets.front();
    EXPECT_EQ(sheet.name, u"Visão geral"_s);
    const std::vector<QStringList> rows{{u"Empresa"_s, u"Trabalhadores"_s},
                                        {u"Açúcar; Cia"_s, u"3"_s},
                                        {u"=SOMA(1)"_s, u""_s},
                                        {u"linha\nduas"_s, u"-7"_s}};
    EXPECT_EQ(sheet.rows, rows);
    EXPECT_EQ(sheet.types, QStringList({u"n"_s, u"s"_s}));
    EXPECT_TRUE(sheet.boldHeading);
    EXPECT_EQ(sheet.frozen, u"A2"_s);
    EXPECT_EQ(sheet.autofilter, u"A1:B4"_s);
    for (const QString& part : {u" landscape "_s, u" header=Salários && férias "_s,
                                u" footer=Página &P de &N "_s, u" titles=$1:$1;"_s})
        EXPECT_TRUE(sheet.printSetup.contains(part)) << sheet.printSetup.toStdString();
}

// Rows past a worksheet's room go on in the next, each under the heading
// row; the counts are cells of a sheet of their own; and a title too long
// for a page header is cut within the 255 bytes spreadsheets keep, codes
// included, at a whole character, and shows it was cut.
TEST(TableFile, WorkbookGoesOnInFurtherSheetsWithItsCountsApart)
{
    if (!XlsxBook::available())
        GTEST_SKIP() << "python3-openpyxl is not installed";
    TestFiles files;
    const QString path = files.path(u"t.xlsx"_s);
    Table table = sample();
    table.rows.push_back({u"quarta"_s, std::int64_t{4}});
    table.rows.push_back({u"quinta"_s, std::int64_t{5}});
    // Two bytes each: with "&C" and the doubled "&", 263 bytes.
    table.title = u"Salários & férias "_s + QString(120, u'ç');
    table.counts = {{u"Resolvido"_s, 1234}, {u"Correspondência ambígua"_s, 0}};
    SheetFile::Options options;
    options.xlsxRowsPerSheet = 2;
    ASSERT_TRUE(TableFile::save(table, path, Format::Xlsx, nullptr, options).saved());
    const XlsxBook book = XlsxBook::read(path);
    ASSERT_EQ(book.sheets.size(), 4u);
    const QStringList heading{u"Empresa"_s, u"Trabalhadores"_s};
    const std::vector<std::pair<QString, std::vector<QStringList>>> expected{
        {u"Visão geral"_s, {heading, {u"Açúcar; Cia"_s, u"3"_s}, {u"=SOMA(1)"_s, u""_s}}},
        {u"Visão geral 2"_s, {heading, {u"linha\nduas"_s, u"-7"_s}, {u"quarta"_s, u"4"_s}}},
        {u"Visão geral 3"_s, {heading, {u"quinta"_s, u"5"_s}}},
        {u"Contagens"_s,
         {{table.title, u""_s},
          {u"Resolvido"_s, u"1234"_s},
          {u"Correspondência ambígua"_s, u"0"_s}}}};
    const QString header = u" header=Salários && férias "_s + QString(114, u'ç') + u"… footer="_s;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const XlsxBook::Sheet& sheet = book.sheets[i];
        EXPECT_EQ(sheet.name, expected[i].first);
        EXPECT_EQ(sheet.rows, expected[i].second) << i;
        EXPECT_TRUE(sheet.printSetup.contains(header)) << sheet.printSetup.toStdString();
    }
    EXPECT_EQ(book.sheets[2].autofilter, u"A1:B2"_s);
    EXPECT_EQ(book.sheets[3].types, QStringList({u"n"_s, u"s"_s}));
}

// Many rows go on over pages, each with the title, the heading row and its
// number; every row is on one page only.
TEST(TableFile, PdfRepeatsTheHeadingOnEveryPage)
{
    if (!PdfText::available())
        GTEST_SKIP() << "poppler-utils is not installed";
    Table table = sample();
    table.title = u"Resumo"_s;
    table.rows.clear();
    for (int i = 1; i <= 150; ++i)
        table.rows.push_back({u"Linha%1"_s.arg(i), std::int64_t{1000 + i}});
    TestFiles files;
    const QString path = files.path(u"t.pdf"_s);
    ASSERT_TRUE(TableFile::save(table, path, Format::Pdf).saved());
    const std::vector<PdfText::Page> pages = PdfText::pages(path);
    ASSERT_GE(pages.size(), 2u);
    std::map<QString, int> seen;
    for (std::size_t page = 0; page < pages.size(); ++page) {
        EXPECT_TRUE(pages[page].has(u"Resumo"_s)) << page;
        EXPECT_TRUE(pages[page].has(u"Empresa"_s)) << page;
        EXPECT_TRUE(pages[page].has(u"%1"_s.arg(pages.size())) &&
                    pages[page].has(u"%1"_s.arg(page + 1)))
            << page;
        for (const PdfText::Word& word : pages[page].words)
            ++seen[word.text];
    }
    for (int i = 1; i <= 150; ++i) {
        EXPECT_EQ(seen[u"Linha%1"_s.arg(i)], 1) << i;
        EXPECT_EQ(seen[u"%1"_s.arg(1000 + i)], 1) << i;
    }
}

class Stop final : public Progress
{
public:
    bool advance(int, int) override { return false; }
};

class TableFileCancelTest : public ::testing::TestWithParam<Format>
{
};

// Cancelled, the save leaves the file it would have replaced as it was.
TEST_P(TableFileCancelTest, LeavesTheEarlierFile)
{
    TestFiles files;
    const QString path =
        files.write(u"t."_s + SheetFile::extension(GetParam()), "the clerk's earlier file");
    Stop stop;
    EXPECT_EQ(TableFile::save(sample(), path, GetParam(), &stop).status,
              SheetFile::Result::Status::Cancelled);
    EXPECT_EQ(TestFiles::read(path), QByteArray("the clerk's earlier file"));
}

INSTANTIATE_TEST_SUITE_P(Formats, TableFileCancelTest,
                         ::testing::Values(Format::Xlsx, Format::Csv, Format::Pdf),
                         [](const auto& info) {
                             return SheetFile::extension(info.param).toStdString();
                         });
} // namespace
