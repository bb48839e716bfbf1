#include "processing/importcommand.h"
#include "processing/printcommand.h"
#include "sheet/export/fastdeflate.h"
#include "sheet/export/sheetfile.h"
#include "sheet/export/xlsxexport.h"
#include "sheet/print/pdfprintdialog.h"
#include "sheet/print/printhandler.h"
#include "sheet/progress.h"
#include "sheet/resultsheet.h"
#include "sheet/returnfields.h"
#include "sheet/sheettemplate.h"
#ifndef _WIN32
#include "tests/support/diskfull.h"
#endif
#include "tests/support/casename.h"
#include "tests/support/pdftext.h"
#include "tests/support/testfiles.h"
#include "tests/support/xlsxbook.h"
#include "tools/returnfilegenerator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <map>
#include <new>
#include <utility>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#else
#include <io.h>
#include <windows.h>
#endif

using namespace Qt::Literals::StringLiterals;

namespace {
using Format = SheetFile::Format;
using Status = SheetFile::Result::Status;

// A worker's row: the given cells over a row of "OK" checks.
void setRow(ResultSheet& sheet, int row, std::map<int, QString> cells)
{
    for (int col = 1; col <= ReturnFields::kCount; ++col)
        sheet.SetCellText(row, col, cells.count(col) ? cells[col] : QStringLiteral("OK"));
}

QStringList headingsWithout(std::initializer_list<int> hidden)
{
    QStringList out;
    for (int col = 1; col <= ReturnFields::kCount; ++col) {
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
    // Column 20 is an orientation, not a check.
    setRow(sheet, 5, {{1, u"3"_s}, {3, u""_s}, {20, u"Procurar Conveniadas"_s}});
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
        EXPECT_EQ(ws.frozen, QStringLiteral("C2")); // the heading row, CPF and NOME
        ASSERT_FALSE(ws.rows.empty());
        EXPECT_EQ(ws.rows[0], headings);
        const int first = 2 * n + 1;
        const int last = std::min(first + 1, 5);
        EXPECT_EQ(ws.autofilter, QStringLiteral("A1:S%1").arg(last - first + 2));
        ASSERT_EQ(ws.rows.size(), std::size_t(last - first + 2));
        for (int row = first; row <= last; ++row) {
            QStringList expected;
            for (int col = 1; col <= ReturnFields::kCount; ++col) {
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
        {u"Trabalhadores com orientação"_s, u""_s, u"2"_s},
        {u""_s, u""_s, u""_s},
        {u"Verificação"_s, u"Trabalhadores com problema"_s, u""_s}};
    for (int col = 5; col <= 19; ++col) {
        if (col != 7)
            expected.push_back({SheetTemplate::heading(col),
                                QString::number(col == 5   ? 3
                                                : col == 6 ? 1
                                                           : 0),
                                u""_s});
    }
    expected.push_back({u"Orientação"_s, u"Trabalhadores com orientação"_s, u""_s});
    expected.push_back({u"COD_ORIENTACAO_CPF"_s, u"1"_s, u""_s});
    expected.push_back({u"COD_ORIENTACAO_NIS"_s, u"1"_s, u""_s});
    expected.push_back({u""_s, u""_s, u""_s});
    expected.push_back({u"Verificação"_s, u"Mensagem"_s, u"Trabalhadores"_s});
    expected.push_back({u"COD_NIS_INV"_s, u"NIS inválido"_s, u"2"_s});
    expected.push_back({u"COD_NIS_INV"_s, u"NIS inconsistente"_s, u"1"_s});
    expected.push_back({u"COD_CPF_INV"_s, u"CPF inválido"_s, u"1"_s});
    expected.push_back({u"COD_ORIENTACAO_CPF"_s, u"Procurar Conveniadas"_s, u"1"_s});
    expected.push_back({u"COD_ORIENTACAO_NIS"_s, u"=SOMA(A1)"_s, u"1"_s});
    EXPECT_EQ(summary.rows, expected);
    ASSERT_EQ(book.barCharts.size(), 1u);
    EXPECT_EQ(book.barCharts[0], (QStringList{u"Resumo!$A$6:$A$19"_s, u"Resumo!$B$6:$B$19"_s}));

    // Printed as the program prints: A4 portrait, the template's margins,
    // the sheet's name on top and the page number below, the heading row on
    // every page and the frozen columns shown (CPF, NOME) on the left of
    // every page; the summary's chart on a page of its own.
    const QString setup = QStringLiteral(
        "paper=9 portrait margins=0.75,0.75,1.0,1.0,0.5,0.5 header=&A footer=Página &P "
        "gridlines=True centred=True titles=");
    EXPECT_EQ(book.sheets[0].printSetup.toStdString(),
              (setup + QStringLiteral("$1:$1;$A:$B breaks=")).toStdString());
    EXPECT_EQ(summary.printSetup.toStdString(),
              (setup + QStringLiteral("; breaks=%1").arg(expected.size() + 1)).toStdString());
}

// The summary's figures against the saved workbook's own, counted as a
// spreadsheet's COUNTIF would: the workers by the return file's codes (5 to
// 19 checks, 20 and 21 orientations), each column's by its cells in the data
// sheet. Then the same workbook with CPF, NIS and NOME not frozen.
TEST(XlsxFile, SummaryCountsWhatTheWorkbookHolds)
{
    if (!XlsxBook::available())
        GTEST_SKIP() << "python3-openpyxl is not installed";
    TestFiles files;
    const std::string text = ReturnFileGenerator({7, 0.3, "\r\n"}).file(1500);
    const QString returnFile = files.write(QStringLiteral("retorno.txt"), text);
    ResultSheet sheet;
    ASSERT_TRUE(ImportCommand::run(returnFile, sheet).succeeded());

    int withProblems = 0, withOrientation = 0, onlyCpfOrientation = 0;
    const QStringList lines = QString::fromStdString(text).split(u"\r\n"_s, Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList codes = lines[i].split(u';').mid(4);
        ASSERT_EQ(codes.size(), 17);
        const bool check = codes.mid(0, 15) != QStringList(15, u"0"_s);
        withProblems += check;
        withOrientation += codes[15] != u"0"_s || codes[16] != u"0"_s;
        onlyCpfOrientation += !check && codes[15] != u"0"_s;
    }
    ASSERT_GT(onlyCpfOrientation, 0) << "no worker tells a check from the CPF's orientation";

    for (const bool frozen : {true, false}) {
        SCOPED_TRACE(frozen ? "frozen" : "not frozen");
        sheet.SetFrozen(frozen);
        const QString path = files.path(QStringLiteral("saida.xlsx"));
        ASSERT_TRUE(SheetFile::save(sheet, path, Format::Xlsx).saved());
        const XlsxBook book = XlsxBook::read(path);
        ASSERT_EQ(book.sheets.size(), 2u);
        const XlsxBook::Sheet& data = book.sheets[0];
        EXPECT_EQ(data.frozen, frozen ? u"D2"_s : u"A2"_s);
        EXPECT_TRUE(
            data.printSetup.contains(frozen ? u"titles=$1:$1;$A:$C "_s : u"titles=$1:$1; "_s))
            << data.printSetup.toStdString();
        ASSERT_EQ(data.rows.size(), 1501u);

        // COUNTIF(column; "<>OK") and each text's count, empty orientations aside.
        auto countif = [&](int col) {
            std::map<QString, int> texts;
            for (std::size_t r = 1; r < data.rows.size(); ++r) {
                const QString& cell = data.rows[r].value(col - 1);
                if (cell != u"OK"_s && !(col >= 20 && cell.isEmpty()))
                    ++texts[cell];
            }
            return texts;
        };
        std::vector<QStringList> expected = {
            {u"Trabalhadores na planilha"_s, u""_s, u"1500"_s},
            {u"Trabalhadores com alguma verificação diferente de OK"_s, u""_s,
             QString::number(withProblems)},
            {u"Trabalhadores com orientação"_s, u""_s, QString::number(withOrientation)},
            {u""_s, u""_s, u""_s},
            {u"Verificação"_s, u"Trabalhadores com problema"_s, u""_s}};
        std::vector<QStringList> messages;
        for (int col = 5; col <= 21; ++col) {
            if (col == 20)
                expected.push_back({u"Orientação"_s, u"Trabalhadores com orientação"_s, u""_s});
            const std::map<QString, int> texts = countif(col);
            int workers = 0;
            std::vector<std::pair<int, QString>> byCount;
            for (const auto& [message, n] : texts) {
                workers += n;
                byCount.emplace_back(-n, message);
            }
            std::sort(byCount.begin(), byCount.end());
            expected.push_back({data.rows[0][col - 1], QString::number(workers), u""_s});
            for (const auto& [n, message] : byCount)
                messages.push_back({data.rows[0][col - 1], message, QString::number(-n)});
        }
        expected.push_back({u""_s, u""_s, u""_s});
        expected.push_back({u"Verificação"_s, u"Mensagem"_s, u"Trabalhadores"_s});
        expected.insert(expected.end(), messages.begin(), messages.end());
        EXPECT_EQ(book.sheets[1].rows, expected);
    }
}

// Cells XML cannot hold as they are, and text a spreadsheet would read as an
// escape, come back as their OOXML escapes (openpyxl shows them undecoded),
// in the rows and in the summary's messages; the length counts in UTF-16.
TEST(XlsxFile, CellsXmlCannotHoldAreEscaped)
{
    if (!XlsxBook::available())
        GTEST_SKIP() << "python3-openpyxl is not installed";
    TestFiles files;
    ResultSheet sheet;
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    setRow(sheet, 1,
           {{1, QStringView(u"JO\0AO SILVA", 11).toString()},
            {2, u"a\uFFFEb\uFFFF"_s},
            {3, u"_x0041_"_s},
            {4, emoji.repeated(32'767)},
            {5, u"NIS\x01"_s}});
    sheet.SetRowCount(1);
    sheet.SetColumnsHidden(6, 21, true);
    const QString path = files.path(QStringLiteral("saida.xlsx"));
    ASSERT_TRUE(SheetFile::save(sheet, path, Format::Xlsx).saved());
    const XlsxBook book = XlsxBook::read(path);
    ASSERT_EQ(book.sheets.size(), 2u);
    ASSERT_EQ(book.sheets[0].rows.size(), 2u);
    EXPECT_EQ(book.sheets[0].rows[1],
              (QStringList{u"JO_x0000_AO SILVA"_s, u"a_xFFFE_b_xFFFF_"_s, u"_x005F_x0041_"_s,
                           emoji.repeated(16'383), u"NIS_x0001_"_s}));
    const std::vector<QStringList>& summary = book.sheets[1].rows;
    EXPECT_TRUE(std::any_of(summary.begin(), summary.end(), [](const QStringList& row) {
        return row.value(0) == u"COD_NIS_INV"_s && row.value(1) == u"NIS_x0001_"_s;
    })) << "the message as written in the summary";
}

// The parts a zip holds: name, size before compression, whether its local
// header carries the ZIP64 extra field, and that header's method and flags.
struct ZipPart
{
    std::string name;
    std::uint64_t size = 0;
    bool zip64 = false;
    std::uint32_t method = 0;
    std::uint32_t flags = 0;
};

std::vector<ZipPart> zipParts(const QString& path)
{
    const QByteArray zip = TestFiles::read(path);
    auto u16 = [&](qsizetype at) {
        return std::uint32_t(std::uint8_t(zip[at])) | std::uint32_t(std::uint8_t(zip[at + 1])) << 8;
    };
    auto u32 = [&](qsizetype at) { return u16(at) | u16(at + 2) << 16; };
    const qsizetype end = zip.lastIndexOf(QByteArray("PK\x05\x06", 4));
    std::vector<ZipPart> parts;
    if (end < 0)
        return parts;
    qsizetype at = u32(end + 16);
    for (std::uint32_t i = 0; i < u16(end + 10) && at + 46 <= zip.size(); ++i) {
        ZipPart part;
        part.size = u32(at + 24);
        part.name = zip.mid(at + 46, u16(at + 28)).toStdString();
        const qsizetype local = u32(at + 42);
        part.zip64 = u16(local + 28) >= 4 && u16(local + 30 + u16(local + 26)) == 1;
        part.method = u16(local + 8);
        part.flags = u16(local + 6);
        parts.push_back(part);
        at += 46 + u16(at + 28) + u16(at + 30) + u16(at + 32);
    }
    return parts;
}

// ZIP64 is asked for exactly when the workbook may pass the limit, and a
// workbook written with it reads back; the bound the choice rests on is
// above what the parts take, escapes and all.
TEST(XlsxFile, Zip64WhenTheWorkbookMayPassTheLimit)
{
    if (!XlsxBook::available())
        GTEST_SKIP() << "python3-openpyxl is not installed";
    TestFiles files;
    ResultSheet sheet;
    // Few shown cells, each mostly escapes: the bound's slack is in its text.
    for (int row = 1; row <= 120; ++row)
        setRow(sheet, row,
               {{1, QString::number(row)},
                {3, QString(1000, QChar(1)) + u"_x0041_"_s.repeated(50)},
                {8, u"&<"_s.repeated(200) + QString(50, QChar(0xFFFE)) + QString::number(row)}});
    sheet.SetRowCount(120);
    sheet.SetColumnsHidden(2, 2, true);
    sheet.SetColumnsHidden(4, 7, true);
    sheet.SetColumnsHidden(9, 21, true);
    SheetFile::Options split;
    split.xlsxRowsPerSheet = 40;
    const std::uint64_t bound = XlsxExport::xmlBytesBound(sheet, 40, UINT64_MAX);

    for (const bool past : {false, true}) {
        SCOPED_TRACE(past ? "past the limit" : "within it");
        SheetFile::Options options = split;
        if (past)
            options.xlsxZip64Above = bound - 1;
        else
            options.xlsxZip64Above = bound;
        const QString path = files.path(past ? u"grande.xlsx"_s : u"normal.xlsx"_s);
        ASSERT_TRUE(SheetFile::save(sheet, path, Format::Xlsx, nullptr, options).saved());
        const std::vector<ZipPart> parts = zipParts(path);
        ASSERT_GT(parts.size(), 5u);
        std::uint64_t total = 0;
        for (const ZipPart& part : parts) {
            EXPECT_EQ(part.zip64, past) << part.name;
            total += part.size;
        }
        EXPECT_LT(total, bound);
        const XlsxBook book = XlsxBook::read(path);
        ASSERT_EQ(book.sheets.size(), 4u);
        EXPECT_EQ(book.sheets[2].rows.back().value(0), u"120"_s);
    }
}

// Every part is deflated at the fastest level where the platform has the
// fast side, else at zlib's default: a libxlsxwriter that packs its zip past
// that side (with a copy of minizip of its own) fails here instead of only
// saving more slowly.
// What the program's C library writes to stderr while `run` runs.
QByteArray stderrOf(const QString& file, const std::function<void()>& run)
{
    const QByteArray name = QFile::encodeName(file);
    std::fflush(stderr);
#ifndef _WIN32
    const int saved = dup(2);
    const int into = open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(into, 2);
    run();
    std::fflush(stderr);
    dup2(saved, 2);
    close(into);
    close(saved);
#else
    const int saved = _dup(2);
    const int into = _open(name.constData(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, 0600);
    _dup2(into, 2);
    run();
    std::fflush(stderr);
    _dup2(saved, 2);
    _close(into);
    _close(saved);
#endif
    return TestFiles::read(file);
}

// The library says its failures in English on stderr as well ("[ERROR]
// workbook_close(): Error creating …"); the user reads them only in the
// program's words.
TEST(XlsxFile, TheLibrarysOwnMessagesStayOffStderr)
{
    TestFiles files;
    ResultSheet sheet;
    setRow(sheet, 1, {});
    sheet.SetRowCount(1);
    SheetFile::Result result;
    const QByteArray told = stderrOf(files.path(QStringLiteral("stderr.txt")), [&] {
        result = XlsxExport::write(sheet, files.path(QStringLiteral("nada/saida.xlsx")), {},
                                   SheetFile::Options(), nullptr);
    });
    EXPECT_EQ(result.status, Status::Failed);
    EXPECT_EQ(result.error, u"a pasta não existe"_s);
    EXPECT_TRUE(told.isEmpty()) << told.toStdString();
}

TEST(XlsxFile, PartsAreDeflatedAtTheFastestLevelWhereThePlatformCan)
{
    TestFiles files;
    ResultSheet sheet;
    setRow(sheet, 1, {{1, u"00012345678"_s}});
    sheet.SetRowCount(1);
    const QString path = files.path(u"rapida.xlsx"_s);
    ASSERT_TRUE(SheetFile::save(sheet, path, Format::Xlsx).saved());
    const std::vector<ZipPart> parts = zipParts(path);
    ASSERT_GT(parts.size(), 5u);
    // A deflated part's level is in bits 1 and 2 of its flags: 0b11 the
    // fastest, 0b00 the default.
    const std::uint32_t level = FastDeflate::available() ? 0b11 : 0b00;
    for (const ZipPart& part : parts) {
        EXPECT_EQ(part.method, 8u) << part.name;
        EXPECT_EQ(part.flags >> 1 & 0b11, level) << part.name;
    }
}

TEST(CsvFile, QuotesAndGuardsFieldsForSpreadsheets)
{
    TestFiles files;
    ResultSheet sheet;
    setRow(sheet, 1,
           {{1, u"01234567890"_s}, {2, u"=1+1"_s}, {3, u"JOÃO; SÁ"_s}, {4, u"01011980"_s}});
    setRow(sheet, 2, {{1, u"+55"_s}, {2, u"-5"_s}, {3, u"@soma"_s}, {4, u"diz \"oi\""_s}});
    setRow(sheet, 3, {{1, u"linha\r\nnova"_s}, {2, u""_s}, {3, u"a\nb"_s}, {4, u"=A1;B1"_s}});
    // A leading tab or CR is dropped by some spreadsheets before they look for "=".
    setRow(sheet, 4, {{1, u"\t=1+1"_s}, {2, u"\r=1+1"_s}, {3, u" =1"_s}, {4, u"a=1"_s}});
    sheet.SetRowCount(4);
    sheet.SetColumnsHidden(5, 21, true);

    const QString path = files.path(QStringLiteral("saida.csv"));
    ASSERT_TRUE(SheetFile::save(sheet, path, Format::Csv).saved());
    EXPECT_EQ(TestFiles::read(path), QByteArray("\xEF\xBB\xBF"
                                                "CPF;NIS;NOME;DN\r\n"
                                                "01234567890;'=1+1;\"JOÃO; SÁ\";01011980\r\n"
                                                "'+55;'-5;'@soma;\"diz \"\"oi\"\"\"\r\n"
                                                "\"linha\r\nnova\";;\"a\nb\";\"'=A1;B1\"\r\n"
                                                "'\t=1+1;\"'\r=1+1\"; =1;a=1\r\n"));
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

// Saved and printed, a filtered and sorted sheet holds the rows shown, in
// their order, and its summary counts them and says which filter chose them.
TEST(ShownRowsFile, SavesAndPrintsWhatIsShownInItsOrder)
{
    TestFiles files;
    ResultSheet sheet;
    const QString names[] = {u"CARLOS"_s, u"ANA"_s, u"BEATRIZ"_s, u"DANIEL"_s, u"ÉRICA"_s};
    for (int row = 1; row <= 5; ++row)
        setRow(sheet, row, {{3, names[row - 1]}, {16, row % 2 ? u"CPF cancelado"_s : u"OK"_s}});
    sheet.SetRowCount(5);
    sheet.SetColumnFilter(16, {"CPF cancelado"});
    sheet.SortRows(3, RowSort::Direction::Descending);
    const QStringList shown = {u"ÉRICA"_s, u"CARLOS"_s, u"BEATRIZ"_s};

    const QString csv = files.path(QStringLiteral("saida.csv"));
    ASSERT_TRUE(SheetFile::save(sheet, csv, Format::Csv).saved());
    QStringList csvNames;
    const QStringList lines = QString::fromUtf8(TestFiles::read(csv)).split(u"\r\n"_s);
    for (qsizetype i = 1; i < lines.size() && !lines[i].isEmpty(); ++i)
        csvNames.append(lines[i].section(u';', 2, 2));
    EXPECT_EQ(csvNames, shown);

    if (XlsxBook::available()) {
        const QString xlsx = files.path(QStringLiteral("saida.xlsx"));
        ASSERT_TRUE(SheetFile::save(sheet, xlsx, Format::Xlsx).saved());
        const XlsxBook book = XlsxBook::read(xlsx);
        ASSERT_EQ(book.sheets.size(), 2u);
        QStringList xlsxNames;
        for (std::size_t r = 1; r < book.sheets[0].rows.size(); ++r)
            xlsxNames.append(book.sheets[0].rows[r].value(2));
        EXPECT_EQ(xlsxNames, shown);
        const std::vector<QStringList>& summary = book.sheets[1].rows;
        EXPECT_EQ(summary[0], QStringList({u"Trabalhadores na planilha"_s, {}, u"3"_s}));
        EXPECT_EQ(summary[1].value(2), u"3"_s);
        ASSERT_GT(summary.size(), 3u);
        EXPECT_EQ(summary[3].mid(0, 2),
                  QStringList({u"Filtro: COD_CPF_CANCELADO"_s, u"\"CPF cancelado\""_s}));
    }

    if (PdfText::available()) {
        const QString pdf = files.path(QStringLiteral("saida.pdf"));
        ASSERT_TRUE(SheetFile::save(sheet, pdf, Format::Pdf).saved());
        const QString printed = files.path(QStringLiteral("impresso.pdf"));
        sheet.SetPrintHandler(makePrintHandler(std::make_shared<PdfPrintDialog>(printed)));
        ASSERT_TRUE(PrintCommand::run(sheet));
        for (const QString& file : {pdf, printed}) {
            const std::vector<PdfText::Page> pages = PdfText::pages(file);
            ASSERT_FALSE(pages.empty());
            QStringList pdfNames;
            QStringList rowNumbers;
            // The row headings are the block's leftmost words.
            double left = pages[0].size.width();
            for (const PdfText::Word& word : pages[0].words)
                left = std::min(left, word.box.left());
            for (const PdfText::Word& word : pages[0].words) {
                if (std::find(std::begin(names), std::end(names), word.text) != std::end(names))
                    pdfNames.append(word.text);
                if (word.box.left() < left + 5 && word.text.toInt() > 0)
                    rowNumbers.append(word.text);
            }
            EXPECT_EQ(pdfNames, shown) << file.toStdString();
            EXPECT_EQ(rowNumbers, QStringList({u"1"_s, u"2"_s, u"3"_s})) << file.toStdString();
        }
    }
}

// The user who stops the save at once.
class StopAtOnce final : public Progress
{
public:
    bool advance(int, int) override { return false; }
};

// The user whose click on Cancelar lands while the last of the file is
// written, when nothing reports.
class StopAtTheEnd final : public Progress
{
public:
    bool advance(int, int) override { return true; }
    bool finish() override { return false; }
};

// An allocation that fails once the file is begun.
class MemoryRunsOut final : public Progress
{
public:
    bool advance(int, int) override { throw std::bad_alloc(); }
};

struct Failure
{
    const char* name;
    Format format;
    enum
    {
        Full,
        FullAtTheLastRow,
        Cancelled,
        CancelledAtTheEnd,
        NoFolder,
        OutOfMemory
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
    const int rows = c.how == Failure::FullAtTheLastRow ? 20 : 3000;
    for (int row = 1; row <= rows; ++row)
        setRow(sheet, row, {{1, QString::number(row)}, {3, QStringLiteral("NOME %1").arg(row)}});
    // Only the last row passes the limit, while libxlsxwriter still holds it
    // when the rows are done; it packs into a few bytes.
    if (c.how == Failure::FullAtTheLastRow)
        setRow(sheet, rows,
               {{3, QString(30000, u'x')}, {4, QString(30000, u'y')}, {5, QString(30000, u'z')}});
    sheet.SetRowCount(rows);
    const QString name = QStringLiteral("saida.") + SheetFile::extension(c.format);
    const QString path = files.write(name, "anterior");
    const QDir folder = QFileInfo(path).dir();
    const QString target =
        c.how == Failure::NoFolder ? folder.filePath(QStringLiteral("nada/") + name) : path;

#ifndef _WIN32
    const auto openFiles = [] { return QDir(u"/proc/self/fd"_s).count(); };
    const qsizetype openBefore = openFiles();
#endif
    SheetFile::Result result;
    StopAtOnce stop;
    StopAtTheEnd stopAtTheEnd;
#ifndef _WIN32
    if (c.how == Failure::Full || c.how == Failure::FullAtTheLastRow) {
        const DiskFull full(64 * 1024);
        result = SheetFile::save(sheet, target, c.format);
    } else
#endif
        if (c.how == Failure::OutOfMemory) {
        MemoryRunsOut memory;
        result = SheetFile::save(sheet, target, c.format, &memory);
        EXPECT_TRUE(result.error.contains(u"memória insuficiente"_s, Qt::CaseInsensitive))
            << result.error.toStdString();
    } else {
        Progress* progress = nullptr;
        if (c.how == Failure::Cancelled)
            progress = &stop;
        else if (c.how == Failure::CancelledAtTheEnd)
            progress = &stopAtTheEnd;
        result = SheetFile::save(sheet, target, c.format, progress);
    }

    const bool cancelled = c.how == Failure::Cancelled || c.how == Failure::CancelledAtTheEnd;
    EXPECT_EQ(result.status, cancelled ? Status::Cancelled : Status::Failed);
    EXPECT_EQ(result.error.contains(QDir::toNativeSeparators(target)), !cancelled)
        << result.error.toStdString();
    EXPECT_EQ(folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{name});
    EXPECT_EQ(TestFiles::read(path), QByteArray("anterior"));
#ifndef _WIN32
    // Nothing of the save stays open: its files' space would stay taken
    // until the program ends. Windows shows it above, by the files.
    EXPECT_EQ(openFiles(), openBefore);
#endif
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SaveFailureTest,
    ::testing::Values(Failure{"XlsxCancelled", Format::Xlsx, Failure::Cancelled},
                      Failure{"XlsxCancelledWhilePacked", Format::Xlsx, Failure::CancelledAtTheEnd},
                      Failure{"CsvCancelled", Format::Csv, Failure::Cancelled},
                      Failure{"PdfCancelled", Format::Pdf, Failure::Cancelled},
                      Failure{"CsvFolderMissing", Format::Csv, Failure::NoFolder},
                      Failure{"XlsxOutOfMemory", Format::Xlsx, Failure::OutOfMemory},
                      Failure{"CsvOutOfMemory", Format::Csv, Failure::OutOfMemory},
                      Failure{"PdfOutOfMemory", Format::Pdf, Failure::OutOfMemory}),
    CaseName());

#ifndef _WIN32 // a full disk is made by the file size limit, POSIX's
INSTANTIATE_TEST_SUITE_P(Posix, SaveFailureTest,
                         ::testing::Values(Failure{"XlsxDiskFull", Format::Xlsx, Failure::Full},
                                           Failure{"XlsxDiskFullAtTheLastRow", Format::Xlsx,
                                                   Failure::FullAtTheLastRow},
                                           Failure{"CsvDiskFull", Format::Csv, Failure::Full},
                                           Failure{"PdfDiskFull", Format::Pdf, Failure::Full}),
                         CaseName());
#endif
// Three workers saved over an earlier file, while someone else who may
// write the folder has a file of their own beside it.
class HijackTest : public ::testing::TestWithParam<Format>
{
protected:
    HijackTest()
    {
        for (int row = 1; row <= 3; ++row)
            setRow(sheet_, row, {{1, u"0000000019%1"_s.arg(row)}, {3, u"NOME %1"_s.arg(row)}});
        sheet_.SetRowCount(3);
        path_ = files_.write(u"saida."_s + SheetFile::extension(GetParam()), "anterior");
        theirs_ = files_.write(u"alheio.txt"_s, "");
    }

    TestFiles files_;
    ResultSheet sheet_;
    QString path_;
    QString theirs_;
};

#ifndef _WIN32
// Another user who may write the folder (a shared one without the sticky
// bit): as soon as the save is under way, they move the temporary file
// aside and put under its name a link to a file of theirs.
class SwapsTheTemporaryName final : public Progress
{
public:
    SwapsTheTemporaryName(const QDir& folder, const QString& theirs)
        : folder_(folder), theirs_(theirs)
    {
    }
    bool advance(int, int) override
    {
        if (!aside_.isEmpty())
            return true;
        // The temporary file, not the writer's work folder beside it.
        const QStringList temporary =
            folder_.entryList({u".saida.*.verinova-*"_s}, QDir::Files | QDir::Hidden);
        EXPECT_EQ(temporary.size(), 1) << temporary.join(u' ').toStdString();
        if (temporary.isEmpty())
            return false;
        link_ = folder_.filePath(temporary.first());
        aside_ = folder_.filePath(u".afastado"_s);
        EXPECT_EQ(std::rename(QFile::encodeName(link_).constData(),
                              QFile::encodeName(aside_).constData()),
                  0);
        EXPECT_EQ(
            symlink(QFile::encodeName(theirs_).constData(), QFile::encodeName(link_).constData()),
            0);
        return true;
    }
    QString link_;  // the temporary name, now their link
    QString aside_; // where the save's own file went

private:
    QDir folder_;
    QString theirs_;
};

// Their file never receives a byte, the save fails and says why, and the
// earlier file stays; the save's own file stays private where they put it.
TEST_P(HijackTest, ALinkPutInPlaceOfTheTemporaryFileGetsNothing)
{
    ASSERT_EQ(chmod(QFile::encodeName(theirs_).constData(), 0666), 0);

    SwapsTheTemporaryName attacker(QFileInfo(path_).dir(), theirs_);
    const SheetFile::Result result = SheetFile::save(sheet_, path_, GetParam(), &attacker);

    ASSERT_FALSE(attacker.link_.isEmpty());
    EXPECT_EQ(TestFiles::read(theirs_), QByteArray());
    EXPECT_EQ(result.status, Status::Failed);
    EXPECT_TRUE(result.error.contains(u"foi trocado por outro"_s)) << result.error.toStdString();
    EXPECT_TRUE(result.error.contains(path_)) << result.error.toStdString();
    EXPECT_TRUE(result.error.contains(QFileInfo(attacker.link_).fileName()))
        << result.error.toStdString();
    EXPECT_EQ(TestFiles::read(path_), QByteArray("anterior"));
    EXPECT_TRUE(QFileInfo(attacker.link_).isSymLink());
    EXPECT_EQ(QFile::permissions(attacker.aside_),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
}

#else
// Another user who may write the folder tries, as soon as the save is under
// way, to move the temporary file aside and put under its name a hard link
// to a file of theirs (which needs no privilege, where a symbolic link does).
class SwapsTheTemporaryName final : public Progress
{
public:
    SwapsTheTemporaryName(const QDir& folder, const QString& theirs)
        : folder_(folder), theirs_(theirs)
    {
    }
    bool advance(int, int) override
    {
        if (tried_)
            return true;
        tried_ = true;
        const QStringList temporary =
            folder_.entryList({u".saida.*.verinova-*"_s}, QDir::Files | QDir::Hidden);
        EXPECT_EQ(temporary.size(), 1) << temporary.join(u' ').toStdString();
        if (temporary.isEmpty())
            return false;
        const std::wstring name =
            QDir::toNativeSeparators(folder_.filePath(temporary.first())).toStdWString();
        const std::wstring aside =
            QDir::toNativeSeparators(folder_.filePath(u".afastado"_s)).toStdWString();
        moved_ = MoveFileExW(name.c_str(), aside.c_str(), 0) != 0;
        if (moved_)
            CreateHardLinkW(name.c_str(), QDir::toNativeSeparators(theirs_).toStdWString().c_str(),
                            nullptr);
        return true;
    }
    bool tried_ = false;
    bool moved_ = false;

private:
    QDir folder_;
    QString theirs_;
};

// While the save holds its temporary file, no one can rename it: their file
// never receives a byte and the save is whole.
TEST_P(HijackTest, TheTemporaryFileCannotBeMovedAside)
{

    SwapsTheTemporaryName attacker(QFileInfo(path_).dir(), theirs_);
    const SheetFile::Result result = SheetFile::save(sheet_, path_, GetParam(), &attacker);

    ASSERT_TRUE(attacker.tried_);
    EXPECT_FALSE(attacker.moved_);
    EXPECT_EQ(TestFiles::read(theirs_), QByteArray());
    EXPECT_TRUE(result.saved()) << result.error.toStdString();
    EXPECT_NE(TestFiles::read(path_), QByteArray("anterior"));
}

#endif
INSTANTIATE_TEST_SUITE_P(Formats, HijackTest,
                         ::testing::Values(Format::Xlsx, Format::Csv, Format::Pdf),
                         [](const ::testing::TestParamInfo<Format>& info) {
                             return SheetFile::extension(info.param).toUpper().toStdString();
                         });

struct NamedPlace
{
    const char* name;
    Format format;
    QString folder; // under the test's folder
    QString file;
};

class AnyNameTest : public ::testing::TestWithParam<NamedPlace>
{
};

// A folder and a file named past every code page's letters (Polish, Japanese,
// an emoji), or on a path past Windows' old 260 characters, take each format
// whole: the file under its own name and nothing under a look-alike of it.
TEST_P(AnyNameTest, SavesWholeUnderItsOwnName)
{
    const NamedPlace& c = GetParam();
    if (c.format == Format::Xlsx && !XlsxBook::available())
        GTEST_SKIP() << "python3-openpyxl is not installed";
    if (c.format == Format::Pdf && !PdfText::available())
        GTEST_SKIP() << "pdftotext and pdftoppm (poppler-utils) are not installed";
    TestFiles files;
    ResultSheet sheet;
    const QStringList names = {u"ŁUKASZ"_s, u"ŻANETA"_s, u"JOÃO"_s};
    for (int row = 1; row <= 3; ++row)
        setRow(sheet, row, {{1, QString::number(row)}, {3, names[row - 1]}});
    sheet.SetRowCount(3);
    const QString folder = files.path(c.folder);
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = QDir(folder).filePath(c.file);

    const SheetFile::Result result = SheetFile::save(sheet, path, c.format);
    ASSERT_TRUE(result.saved()) << result.error.toStdString();
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{c.file});

    QStringList saved; // the NOME column as the file holds it
    switch (c.format) {
    case Format::Xlsx: {
        const XlsxBook book = XlsxBook::read(path);
        ASSERT_EQ(book.sheets.size(), 2u) << "the rows and the summary";
        const std::vector<QStringList>& rows = book.sheets[0].rows;
        ASSERT_EQ(rows.size(), 4u);
        EXPECT_EQ(rows[0], headingsWithout({}));
        for (int row = 1; row <= 3; ++row) {
            QStringList cells;
            for (int col = 1; col <= ReturnFields::kCount; ++col)
                cells.append(sheet.CellText(row, col));
            EXPECT_EQ(rows[std::size_t(row)], cells);
        }
        ASSERT_FALSE(book.sheets[1].rows.empty());
        EXPECT_EQ(book.sheets[1].rows[0].value(2), u"3"_s); // the workers the summary counts
        for (std::size_t r = 1; r < rows.size(); ++r)
            saved.append(rows[r].value(2));
        break;
    }
    case Format::Csv: {
        const QStringList lines = QString::fromUtf8(TestFiles::read(path)).split(u"\r\n"_s);
        for (qsizetype i = 1; i < lines.size() && !lines[i].isEmpty(); ++i)
            saved.append(lines[i].section(u';', 2, 2));
        break;
    }
    case Format::Pdf: {
        const std::vector<PdfText::Page> pages = PdfText::pages(path);
        ASSERT_FALSE(pages.empty());
        for (const QString& name : names) {
            if (pages[0].has(name))
                saved.append(name);
        }
        break;
    }
    }
    EXPECT_EQ(saved, names);
}

const QString kUnicode = u"Equipe Łódź 東京 🙂"_s;

INSTANTIATE_TEST_SUITE_P(
    Names, AnyNameTest,
    ::testing::Values(NamedPlace{"Xlsx", Format::Xlsx, kUnicode,
                                 u"Łódź saída 東京 🙂.xlsx"_s},
                      NamedPlace{"Csv", Format::Csv, kUnicode, u"Łódź saída 東京 🙂.csv"_s},
                      NamedPlace{"Pdf", Format::Pdf, kUnicode, u"Łódź saída 東京 🙂.pdf"_s},
                      // Past 300 characters with the test's folder.
                      NamedPlace{"XlsxOnALongPath", Format::Xlsx,
                                 kUnicode + u'/' + QString(120, u'p') + u'/' + QString(120, u'q'),
                                 u"saída.xlsx"_s},
                      NamedPlace{"PdfOnALongPath", Format::Pdf,
                                 kUnicode + u'/' + QString(120, u'p') + u'/' + QString(120, u'q'),
                                 u"saída.pdf"_s}),
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
