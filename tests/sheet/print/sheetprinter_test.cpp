#include "processing/importcommand.h"
#include "processing/optimizecommand.h"
#include "processing/printcommand.h"
#include "sheet/print/pageplan.h"
#include "sheet/print/pdfprintdialog.h"
#include "sheet/print/printhandler.h"
#include "sheet/print/sheetprinter.h"
#include "sheet/progress.h"
#include "sheet/resultsheet.h"
#include "sheet/returnfields.h"
#include "sheet/sheettemplate.h"
#include "tests/support/casename.h"
#include "tests/support/pdftext.h"
#include "tests/support/testfiles.h"
#include "tools/returnfilegenerator.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <new>
#include <numeric>

namespace {
// The template's page in points: side and top margins, header distance, row height.
constexpr double kSide = 54, kTop = 72, kHeader = 36, kRow = 12.75, kSlack = 1;

using Choice = std::function<void(QPrinter&)>;

// The user at the print dialog: a PDF file for the printer, and whatever the
// user changes there, or a cancel.
class UserAtDialog : public PdfPrintDialog
{
public:
    UserAtDialog(QString path, Choice choice) : PdfPrintDialog(path), choice_(choice) {}
    bool prepare(QPrinter& printer, bool showDialog) override
    {
        if (!choice_ || !PdfPrintDialog::prepare(printer, showDialog))
            return false;
        choice_(printer);
        return true;
    }

private:
    Choice choice_;
};

const Choice kAsSetUp = [](QPrinter&) {};
const Choice kCancel; // no choice made

bool printThroughCommand(ResultSheet& sheet, const QString& pdf, Choice choice = kAsSetUp)
{
    sheet.SetPrintHandler(makePrintHandler(std::make_shared<UserAtDialog>(pdf, choice)));
    return PrintCommand::run(sheet);
}

// The footer's words: "Página" and the page's number.
QStringList footerOn(const PdfText::Page& page)
{
    QStringList out;
    for (const PdfText::Word& word :
         page.within({0, page.size.height() - kTop, page.size.width(), kTop - kHeader + kSlack}))
        out.append(word.text);
    return out;
}

// The column headings: the template's names in the first row under the top margin.
QStringList headingsOn(const PdfText::Page& page)
{
    QStringList out;
    for (const PdfText::Word& word : page.within({0, kTop - kSlack, 1e4, kRow + 2 * kSlack})) {
        for (int col = 1; col <= ReturnFields::kCount; ++col) {
            if (word.text == SheetTemplate::heading(col))
                out.append(word.text);
        }
    }
    return out;
}

// The row numbers under the headings, top to bottom, each on its row's last
// line, beside its CPF: the words centred in the row headings' column, at
// least three digits wide, left of any cell's text.
std::vector<PdfText::Word> rowNumberWordsOn(const PdfText::Page& page)
{
    const QRectF rows(0, kTop + kRow, 1e4, page.size.height() - 2 * kTop - kRow);
    double leftmost = 1e4;
    for (const PdfText::Word& word : page.within(rows))
        leftmost = std::min(leftmost, word.box.left());
    std::vector<PdfText::Word> out;
    for (const PdfText::Word& word : page.within(rows)) {
        if (word.box.left() < leftmost + 12)
            out.push_back(word);
    }
    std::sort(out.begin(), out.end(),
              [](const auto& a, const auto& b) { return a.box.top() < b.box.top(); });
    return out;
}

std::vector<int> rowNumbersOn(const PdfText::Page& page)
{
    std::vector<int> out;
    for (const PdfText::Word& word : rowNumberWordsOn(page))
        out.push_back(word.text.toInt());
    return out;
}

// Left and right end of the ink between the top and bottom margins, in points.
std::pair<int, int> inkBetweenMargins(const QImage& page)
{
    int left = page.width(), right = -1;
    for (int y = kTop + 1; y < page.height() - kTop - 1; ++y) {
        for (int x = 0; x < page.width(); ++x) {
            if (qGray(page.pixel(x, y)) < 128) {
                left = std::min(left, x);
                right = std::max(right, x + 1);
            }
        }
    }
    return {left, right};
}

class Printout : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!PdfText::available())
            GTEST_SKIP() << "pdftotext and pdftoppm (poppler-utils) are not installed";
    }

    // Loads n workers (none: the template as it opens), optimised or not.
    void load(int workers, bool optimised)
    {
        if (workers == 0)
            return;
        ReturnFileGenerator generator;
        const std::string text = optimised ? generator.file(workers) : generator.sample(workers);
        const QString path = files.write(QStringLiteral("retorno.txt"), text);
        ASSERT_TRUE(ImportCommand::run(path, sheet).succeeded());
        if (optimised) {
            ASSERT_TRUE(OptimizeCommand::run(path, sheet).succeeded());
            int hidden = 0;
            for (int col = 1; col <= ReturnFields::kCount; ++col)
                hidden += sheet.IsColumnHidden(col);
            ASSERT_GT(hidden, 0) << "a printout with no hidden column proves nothing here";
        }
    }

    TestFiles files;
    ResultSheet sheet;
    const QString pdf = files.path(QStringLiteral("saida.pdf"));
};

struct PrintoutCase
{
    const char* name;
    int workers;
    bool optimised;
    bool frozen = true;
    int hidden = 0; // a column hidden besides what Otimizar hides
};

class PrintoutTest : public Printout, public ::testing::WithParamInterface<PrintoutCase>
{
};

// The words of the row whose number is `row` on the page.
QStringList wordsOfRow(const PdfText::Page& page, int row)
{
    for (const PdfText::Word& number : rowNumberWordsOn(page)) {
        if (number.text != QString::number(row))
            continue;
        std::vector<PdfText::Word> words =
            page.within({number.box.right(), number.box.top(), 1e4, number.box.height()});
        std::sort(words.begin(), words.end(),
                  [](const auto& a, const auto& b) { return a.box.left() < b.box.left(); });
        QStringList out;
        for (const PdfText::Word& word : words)
            out.append(word.text);
        return out;
    }
    return {};
}

TEST_P(PrintoutTest, ShowsTheSheetAsASpreadsheetPrintsIt)
{
    const PrintoutCase& c = GetParam();
    load(c.workers, c.optimised);
    sheet.SetFrozen(c.frozen);
    if (c.hidden)
        sheet.SetColumnsHidden(c.hidden, c.hidden, true);
    ASSERT_TRUE(printThroughCommand(sheet, pdf));
    const std::vector<PdfText::Page> pages = PdfText::pages(pdf);
    ASSERT_FALSE(pages.empty());

    std::vector<QStringList> bands; // the headings of each run of pages, in order
    std::vector<std::vector<int>> rowsOfBand;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        SCOPED_TRACE(::testing::Message() << "page " << p + 1);
        const PdfText::Page& page = pages[p];
        const double width = page.size.width(), height = page.size.height();
        const auto header = page.within({0, kHeader - kSlack, width, kTop - kHeader});
        ASSERT_EQ(header.size(), 1u);
        EXPECT_EQ(header[0].text, QStringLiteral("Planilhas1"));
        EXPECT_NEAR(header[0].box.center().x(), width / 2, kSlack);
        EXPECT_EQ(footerOn(page).join(u' '), QStringLiteral("Página %1").arg(p + 1));

        const QStringList headings = headingsOn(page);
        ASSERT_FALSE(headings.isEmpty());
        if (bands.empty() || bands.back() != headings) {
            bands.push_back(headings);
            rowsOfBand.emplace_back();
        }
        const std::vector<int> rows = rowNumbersOn(page);
        rowsOfBand.back().insert(rowsOfBand.back().end(), rows.begin(), rows.end());
        // Whole rows, as many as fit under the headings, on all but a band's
        // last page; rows whose text wraps are taller, and fewer fit.
        const std::vector<PdfText::Word> numbers = rowNumberWordsOn(page);
        bool oneLineRows = true;
        for (std::size_t r = 1; r < numbers.size(); ++r)
            oneLineRows = oneLineRows &&
                          std::abs(numbers[r].box.top() - numbers[r - 1].box.top() - kRow) < 0.5;
        const bool bandGoesOn = p + 1 < pages.size() && headingsOn(pages[p + 1]) == headings;
        if (bandGoesOn && oneLineRows) {
            EXPECT_EQ(rows.size(), std::floor((height - 2 * kTop) / kRow) - 1);
        }
        // Nothing runs into the bottom margin, where only the footer prints.
        for (const PdfText::Word& word : page.within({0, kTop + kRow, 1e4, 1e4})) {
            if (word.box.top() > kTop && word.box.top() < height - kTop) {
                EXPECT_LE(word.box.bottom(), height - kTop + kSlack) << word.text.toStdString();
            }
        }
        // A page that names its workers names each row's own.
        if (headings.value(0) == SheetTemplate::heading(1)) {
            for (const int row : rows)
                EXPECT_TRUE(
                    wordsOfRow(page, row).startsWith(sheet.CellText(sheet.ShownRow(row), 1)))
                    << "row " << row << ": " << wordsOfRow(page, row).join(u' ').toStdString();
        }
    }
    // Every shown column on one run of pages, a hidden one nowhere; while
    // frozen, the shown ones of CPF and NOME also at the left of every other
    // run, once, and NIS unless a check needs its room. Every row once in
    // each run.
    const int frozen = c.frozen ? ResultSheet::kFrozenColumns : 0;
    for (int col = 1; col <= ReturnFields::kCount; ++col) {
        const QString heading = SheetTemplate::heading(col);
        int seen = 0;
        for (const QStringList& band : bands) {
            EXPECT_LE(band.count(heading), 1) << band.join(u' ').toStdString();
            seen += band.count(heading);
        }
        const int expected = sheet.IsColumnHidden(col) ? 0 : col <= frozen ? -1 : 1;
        if (expected >= 0) {
            EXPECT_EQ(seen, expected) << col;
        }
    }
    if (frozen) {
        const QString cpf = SheetTemplate::heading(1);
        for (const QStringList& band : bands) {
            SCOPED_TRACE(band.join(u' ').toStdString());
            for (int col : {ReturnFields::kCpfColumn, ReturnFields::kNomeColumn}) {
                if (!sheet.IsColumnHidden(col)) {
                    EXPECT_TRUE(band.contains(SheetTemplate::heading(col)));
                }
            }
            const QStringList names = {cpf, SheetTemplate::heading(2), SheetTemplate::heading(3)};
            for (int i = 1; i < band.size(); ++i) {
                if (names.contains(band[i])) {
                    EXPECT_TRUE(names.contains(band[i - 1])) << "titles come first";
                }
            }
        }
    }
    std::vector<int> allRows(static_cast<std::size_t>(sheet.RowCount()));
    std::iota(allRows.begin(), allRows.end(), 1);
    for (const std::vector<int>& rows : rowsOfBand)
        EXPECT_EQ(rows, allRows);

    // Centred across the page.
    const auto [left, right] = inkBetweenMargins(PdfText::render(pdf, 1));
    EXPECT_GE(left, kSide - kSlack);
    EXPECT_NEAR(left - kSide, pages[0].size.width() - kSide - right, 2);
}

INSTANTIATE_TEST_SUITE_P(Cases, PrintoutTest,
                         ::testing::Values(PrintoutCase{"BeforeAnyImport", 0, false},
                                           PrintoutCase{"SeveralPagesDown", 120, false},
                                           PrintoutCase{"AfterOptimisation", 60, true},
                                           PrintoutCase{"AfterOptimisationNisHidden", 60, true,
                                                        true, 2},
                                           PrintoutCase{"NotFrozen", 60, true, false}),
                         CaseName());

TEST_F(Printout, ColumnWiderThanThePageIsAloneAndClipped)
{
    load(40, false);
    sheet.SetFrozen(false);
    // On A5, chosen in the dialog, the last column is wider than the margins allow.
    ASSERT_TRUE(printThroughCommand(
        sheet, pdf, [](QPrinter& printer) { printer.setPageSize(QPageSize(QPageSize::A5)); }));
    const std::vector<PdfText::Page> pages = PdfText::pages(pdf);
    const QString wide = SheetTemplate::heading(ReturnFields::kCount);
    const int last = static_cast<int>(pages.size());
    ASSERT_NEAR(pages.back().size.width(), 420, kSlack); // the user's paper, not the template's
    ASSERT_EQ(headingsOn(pages.back()), QStringList{wide});
    const QImage image = PdfText::render(pdf, last);
    const auto [left, right] = inkBetweenMargins(image);
    EXPECT_NEAR(left, kSide, 2);
    EXPECT_NEAR(right, image.width() - kSide, 2);
}

struct PaperCase
{
    const char* name;
    Choice choice;
    bool asSetUp = false; // the template's paper, whose pages the dialog offers
};

class FrozenPrintout : public Printout, public ::testing::WithParamInterface<PaperCase>
{
};

// While CPF, NIS and NOME are frozen, every page names each row's worker by
// CPF and NOME; a column too wide to print whole beside them wraps its text
// onto more lines of its row, all of it within the page, and the print
// dialog offers as many pages as print.
TEST_P(FrozenPrintout, EveryPageNamesItsWorkersAndWrapsWhatIsTooWide)
{
    const PaperCase& c = GetParam();
    load(40, false);
    sheet.SetFrozen(true);
    int offered = 0;
    ASSERT_TRUE(printThroughCommand(sheet, pdf, [&](QPrinter& printer) {
        offered = printer.toPage();
        c.choice(printer);
    }));
    const std::vector<PdfText::Page> pages = PdfText::pages(pdf);
    ASSERT_FALSE(pages.empty());
    if (c.asSetUp) {
        EXPECT_EQ(offered, static_cast<int>(pages.size()));
    }
    const QString cpf = SheetTemplate::heading(ReturnFields::kCpfColumn);
    const QString nome = SheetTemplate::heading(ReturnFields::kNomeColumn);
    int wrappedRows = 0;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const PdfText::Page& page = pages[p];
        const QStringList headings = headingsOn(page);
        SCOPED_TRACE(::testing::Message()
                     << "page " << p + 1 << ": " << headings.join(u' ').toStdString());
        ASSERT_GE(headings.size(), 2);
        EXPECT_EQ(headings.front(), cpf);
        EXPECT_TRUE(headings.contains(nome));
        for (const PdfText::Word& word : page.within({0, kTop + kRow, 1e4, 1e4}))
            EXPECT_LE(word.box.right(), page.size.width() - kSide + kSlack)
                << word.text.toStdString();
        // Each row's cells, word by word in reading order, within its row.
        double top = kTop + kRow;
        for (const PdfText::Word& number : rowNumberWordsOn(page)) {
            std::vector<PdfText::Word> words =
                page.within({number.box.right(), top, 1e4, number.box.bottom() + 0.5 - top});
            top = number.box.bottom() + 0.5;
            std::stable_sort(words.begin(), words.end(), [](const auto& a, const auto& b) {
                return a.box.bottom() < b.box.bottom() - kSlack ||
                       (std::abs(a.box.bottom() - b.box.bottom()) <= kSlack &&
                        a.box.left() < b.box.left());
            });
            QStringList read;
            for (const PdfText::Word& word : words)
                read.append(word.text);
            wrappedRows += words.front().box.bottom() < words.back().box.bottom() - kSlack;
            const int row = sheet.ShownRow(number.text.toInt());
            for (int col = 1; col <= ReturnFields::kCount; ++col) {
                if (!headings.contains(SheetTemplate::heading(col)))
                    continue;
                qsizetype at = 0;
                for (const QString& expected :
                     sheet.CellText(row, col).split(u' ', Qt::SkipEmptyParts)) {
                    at = read.indexOf(expected, at);
                    ASSERT_GE(at, 0) << "row " << number.text.toStdString() << ", "
                                     << SheetTemplate::heading(col).toStdString() << ": "
                                     << read.join(u' ').toStdString();
                    ++at;
                }
            }
        }
    }
    EXPECT_GT(wrappedRows, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Papers, FrozenPrintout,
    ::testing::Values(
        PaperCase{"A4Portrait", kAsSetUp, true},
        PaperCase{"A4Landscape",
                  [](QPrinter& printer) { printer.setPageOrientation(QPageLayout::Landscape); }},
        PaperCase{"A5", [](QPrinter& printer) { printer.setPageSize(QPageSize(QPageSize::A5)); }}),
    CaseName());

// A cell of a hostile file can hold megabytes; its printout is the one of a
// cell that holds a little more than shows. What the cell clips is left out
// of the file, not only hidden.
TEST_F(Printout, HugeCellPrintsWhatShows)
{
    QString letters(2'000'000, u'a');
    unsigned seed = 1;
    for (QChar& c : letters) {
        seed = seed * 1103515245u + 12345u;
        c = QChar(u'a' + (seed >> 16) % 26);
    }
    const auto printedSize = [&](qsizetype length) {
        sheet.SetCellText(1, 3, letters.left(length));
        sheet.SetRowCount(1);
        EXPECT_TRUE(printThroughCommand(sheet, pdf));
        return QFileInfo(pdf).size();
    };
    const qint64 aLittleMore = printedSize(2 * SheetTemplate::kMostCharsShown);
    const qint64 huge = printedSize(letters.size());
    EXPECT_NEAR(huge, aLittleMore, 64);
    const std::vector<PdfText::Page> pages = PdfText::pages(pdf);
    ASSERT_FALSE(pages.empty());
    EXPECT_TRUE(std::any_of(pages[0].words.begin(), pages[0].words.end(), [&](const auto& word) {
        return word.text.startsWith(letters.left(20));
    }));
}

// The PDF printer makes no copies and no printer reverses the pages: the
// printout does both, as the print dialog asked.
struct CopiesCase
{
    const char* name;
    int copies;
    bool collate;
    bool lastPageFirst;
    const char* range;
    std::vector<int> pages;
};

class PrintoutCopiesTest : public Printout, public ::testing::WithParamInterface<CopiesCase>
{
};

TEST_P(PrintoutCopiesTest, CopiesAndOrderAsChosen)
{
    const CopiesCase& c = GetParam();
    load(120, false);
    ASSERT_TRUE(printThroughCommand(sheet, pdf, [&c](QPrinter& printer) {
        EXPECT_FALSE(printer.supportsMultipleCopies());
        printer.setCopyCount(c.copies);
        printer.setCollateCopies(c.collate);
        printer.setPageOrder(c.lastPageFirst ? QPrinter::LastPageFirst : QPrinter::FirstPageFirst);
        printer.setPrintRange(QPrinter::PageRange);
        printer.setPageRanges(QPageRanges::fromString(QString::fromLatin1(c.range)));
    }));
    std::vector<int> numbers;
    for (const PdfText::Page& page : PdfText::pages(pdf))
        numbers.push_back(footerOn(page).value(1).toInt());
    EXPECT_EQ(numbers, c.pages);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrintoutCopiesTest,
    ::testing::Values(CopiesCase{"Collated", 2, true, false, "1-2", {1, 2, 1, 2}},
                      CopiesCase{"Uncollated", 2, false, false, "1-2", {1, 1, 2, 2}},
                      CopiesCase{"LastPageFirst", 1, true, true, "1-3", {3, 2, 1}},
                      CopiesCase{"UncollatedLastPageFirst", 2, false, true, "2-3", {3, 3, 2, 2}}),
    CaseName());

struct FailureCase
{
    const char* name;
    Choice choice;
    const char* target;
    bool reported;            // a cancel is no failure: no message
    int stopAfterPages = -1;  // the user's Cancelar on the progress, when not negative
    bool outOfMemory = false; // the memory runs out there instead
};

// The progress dialog whose Cancelar the user clicks after some pages, or
// the allocation that fails there.
class StopAfter final : public Progress
{
public:
    StopAfter(int pages, bool outOfMemory) : pages_(pages), outOfMemory_(outOfMemory) {}
    bool advance(int done, int total) override
    {
        EXPECT_GT(total, pages_);
        if (outOfMemory_ && done >= pages_)
            throw std::bad_alloc();
        return done < pages_;
    }

private:
    int pages_;
    bool outOfMemory_;
};

class GoesOn final : public Progress
{
public:
    bool advance(int, int) override { return true; }
};

class PrintoutFailureTest : public Printout, public ::testing::WithParamInterface<FailureCase>
{
};

TEST_P(PrintoutFailureTest, LeavesTheEarlierFileAndNoPartOfANewOne)
{
    const FailureCase& c = GetParam();
    load(40, false);
    files.write(QStringLiteral("saida.pdf"), "anterior");
    const QStringList before = QDir(QFileInfo(pdf).path()).entryList(QDir::Files);
    const auto dialog =
        std::make_shared<UserAtDialog>(files.path(QString::fromUtf8(c.target)), c.choice);
    int progressAsked = 0;
    sheet.SetPrintHandler(
        makePrintHandler(dialog, [&c, &progressAsked]() -> std::unique_ptr<Progress> {
            ++progressAsked;
            if (c.stopAfterPages < 0)
                return std::make_unique<GoesOn>();
            return std::make_unique<StopAfter>(c.stopAfterPages, c.outOfMemory);
        }));

    EXPECT_FALSE(PrintCommand::run(sheet));
    // No progress window for a printout whose first page never came.
    EXPECT_EQ(progressAsked, c.stopAfterPages >= 0 ? 1 : 0);
    EXPECT_EQ(dialog->errorString().isEmpty(), !c.reported);
    EXPECT_EQ(QDir(QFileInfo(pdf).path()).entryList(QDir::Files), before);
    QFile earlier(pdf);
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), QByteArray("anterior"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrintoutFailureTest,
    ::testing::Values(FailureCase{"Cancelled", kCancel, "saida.pdf", false},
                      FailureCase{"PagesPastTheEnd",
                                  [](QPrinter& printer) {
                                      printer.setPrintRange(QPrinter::PageRange);
                                      printer.setPageRanges(
                                          QPageRanges::fromString(QStringLiteral("900-901")));
                                  },
                                  "saida.pdf", true},
                      FailureCase{"MissingFolder", kAsSetUp, "nada/saida.pdf", true},
                      FailureCase{"CancelledWhilePrinting", kAsSetUp, "saida.pdf", false, 2},
                      FailureCase{"OutOfMemoryWhilePrinting", kAsSetUp, "saida.pdf", true, 2,
                                  true}),
    CaseName());
} // namespace
