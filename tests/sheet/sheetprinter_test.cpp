#include "importcommand.h"
#include "optimizecommand.h"
#include "pdfprintdialog.h"
#include "pdftext.h"
#include "printcommand.h"
#include "printhandler.h"
#include "resultsheet.h"
#include "returnfilegenerator.h"
#include "sheettemplate.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QSet>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <numeric>

namespace {
constexpr double kPointsPerInch = 72.0;
constexpr double kSideMargin = 0.75 * kPointsPerInch;
constexpr double kTopMargin = 1.0 * kPointsPerInch;
constexpr double kHeaderMargin = 0.5 * kPointsPerInch;
constexpr double kRowHeightPoints = 255.0 / 20.0; // twips
// pdftotext's boxes and the page size are rounded a little.
constexpr double kSlack = 1.0;

using Choice = std::function<void(QPrinter&)>;

// The user at the print dialog: a PDF file for the printer, and whatever the
// user changes there, or a cancel.
class UserAtDialog : public PdfPrintDialog
{
public:
    UserAtDialog(QString path, Choice choice, bool cancels)
        : PdfPrintDialog(std::move(path)), choice_(std::move(choice)), cancels_(cancels)
    {
    }

    bool prepare(QPrinter& printer, bool showDialog) override
    {
        asked = showDialog;
        if (cancels_ || !PdfPrintDialog::prepare(printer, showDialog))
            return false;
        if (choice_)
            choice_(printer);
        return true;
    }

    bool asked = false;

private:
    Choice choice_;
    bool cancels_;
};

struct Printout
{
    bool printed = false;
    bool asked = false;
    QString error;
    std::vector<PdfText::Page> pages;
};

Printout printThroughCommand(ResultSheet& sheet, const QString& path, Choice choice = {},
                             bool cancels = false)
{
    const auto dialog = std::make_shared<UserAtDialog>(path, std::move(choice), cancels);
    sheet.SetPrintHandler(makePrintHandler(dialog));
    Printout out;
    out.printed = PrintCommand::run(sheet);
    out.asked = dialog->asked;
    out.error = dialog->errorString();
    if (QFile::exists(path))
        out.pages = PdfText::pages(path);
    return out;
}

QSet<QString> templateHeadings()
{
    QSet<QString> out;
    for (int col = 1; col <= SheetTemplate::kColumns; ++col)
        out.insert(SheetTemplate::heading(col));
    return out;
}

QRectF blockArea(const PdfText::Page& page)
{
    return QRectF(kSideMargin - kSlack, kTopMargin - kSlack,
                  page.size.width() - 2 * kSideMargin + 2 * kSlack,
                  page.size.height() - 2 * kTopMargin + 2 * kSlack);
}

// The column headings: the first row under the top margin.
QStringList headingsOn(const PdfText::Page& page)
{
    static const QSet<QString> headings = templateHeadings();
    const QRectF strip(0, kTopMargin - kSlack, page.size.width(), kRowHeightPoints + 2 * kSlack);
    QStringList out;
    for (const PdfText::Word& word : page.within(strip)) {
        if (headings.contains(word.text))
            out.append(word.text);
    }
    return out;
}

// The row numbers: the first word of each printed row under the headings.
std::vector<int> rowNumbersOn(const PdfText::Page& page)
{
    std::map<int, PdfText::Word> firstOfLine;
    for (const PdfText::Word& word : page.within(blockArea(page))) {
        const int line =
            static_cast<int>(std::floor((word.box.center().y() - kTopMargin) / kRowHeightPoints));
        if (line < 1)
            continue;
        const auto it = firstOfLine.find(line);
        if (it == firstOfLine.end() || word.box.left() < it->second.box.left())
            firstOfLine[line] = word;
    }
    std::vector<int> out;
    for (const auto& [line, word] : firstOfLine)
        out.push_back(word.text.toInt());
    return out;
}

bool centredIn(const QRectF& box, double width)
{
    return std::abs(box.center().x() - width / 2) <= kSlack;
}

// The dark pixels' extent between the top and bottom margins, in points.
QRectF inkInBlock(const QImage& page)
{
    int left = page.width();
    int right = -1;
    for (int y = static_cast<int>(kTopMargin) + 1;
         y < page.height() - static_cast<int>(kTopMargin) - 1; ++y) {
        for (int x = 0; x < page.width(); ++x) {
            if (qGray(page.pixel(x, y)) < 128) {
                left = std::min(left, x);
                right = std::max(right, x + 1);
            }
        }
    }
    return QRectF(left, 0, right - left, 0);
}

// The path of the file loaded, empty when the import failed.
QString loadInto(ResultSheet& sheet, TestFiles& files, const std::string& contents)
{
    const QString path = files.write(QStringLiteral("retorno.txt"), contents);
    return ImportCommand::run(path, sheet).succeeded() ? path : QString();
}

struct ContentCase
{
    const char* name;
    int workers; // 0: the template, never imported
    bool optimised;
    std::vector<int> hidden;
    Choice choice;
    QSizeF pageSize; // points
};

class PrintoutTest : public ::testing::TestWithParam<ContentCase>
{
protected:
    void SetUp() override
    {
        if (!PdfText::available())
            GTEST_SKIP() << "pdftotext and pdftoppm (poppler-utils) are not installed";
    }
};

TEST_P(PrintoutTest, ShowsTheSheetAsASpreadsheetPrintsIt)
{
    const ContentCase& c = GetParam();
    TestFiles files;
    ResultSheet sheet;
    if (c.workers > 0) {
        ReturnFileGenerator generator;
        const QString input = loadInto(
            sheet, files, c.optimised ? generator.file(c.workers) : generator.sample(c.workers));
        ASSERT_FALSE(input.isEmpty());
        ASSERT_EQ(sheet.RowCount(), c.workers);
        if (c.optimised) {
            ASSERT_TRUE(OptimizeCommand::run(input, sheet).succeeded());
            int hidden = 0;
            for (int col = 1; col <= SheetTemplate::kColumns; ++col)
                hidden += sheet.IsColumnHidden(col) ? 1 : 0;
            ASSERT_GT(hidden, 0) << "the case needs a column that passes everywhere";
        }
    }
    for (int col : c.hidden)
        sheet.SetColumnsHidden(col, col, true);

    const QString pdf = files.path(QStringLiteral("saida.pdf"));
    const Printout out = printThroughCommand(sheet, pdf, c.choice);
    ASSERT_TRUE(out.printed) << out.error.toStdString();
    EXPECT_TRUE(out.asked);
    ASSERT_FALSE(out.pages.empty());

    // Header and footer on every page, numbered from 1, centred, in their margins.
    for (std::size_t p = 0; p < out.pages.size(); ++p) {
        const PdfText::Page& page = out.pages[p];
        SCOPED_TRACE(::testing::Message() << "page " << p + 1);
        EXPECT_NEAR(page.size.width(), c.pageSize.width(), kSlack);
        EXPECT_NEAR(page.size.height(), c.pageSize.height(), kSlack);
        const double h = page.size.height();
        const auto header = page.within(QRectF(0, kHeaderMargin - kSlack, page.size.width(),
                                               kTopMargin - kHeaderMargin + kSlack));
        ASSERT_EQ(header.size(), 1u);
        EXPECT_EQ(header[0].text, SheetTemplate::sheetName());
        EXPECT_TRUE(centredIn(header[0].box, page.size.width()));
        const auto footer = page.within(
            QRectF(0, h - kTopMargin, page.size.width(), kTopMargin - kHeaderMargin + kSlack));
        ASSERT_EQ(footer.size(), 2u);
        EXPECT_EQ(footer[0].text + u' ' + footer[1].text, QStringLiteral("Página %1").arg(p + 1));
        EXPECT_TRUE(centredIn(footer[0].box.united(footer[1].box), page.size.width()));
        // Nothing else outside the margins.
        EXPECT_EQ(page.within(blockArea(page)).size() + 3, page.words.size());
    }

    // Each visible heading on the pages of one band, the hidden ones nowhere;
    // a band's pages follow each other and every band runs as many pages down.
    std::map<int, int> bandOfColumn;
    std::vector<QStringList> bands;
    std::vector<int> pagesOfBand;
    for (const PdfText::Page& page : out.pages) {
        const QStringList headings = headingsOn(page);
        ASSERT_FALSE(headings.isEmpty());
        if (bands.empty() || bands.back() != headings) {
            bands.push_back(headings);
            pagesOfBand.push_back(0);
        }
        ++pagesOfBand.back();
    }
    for (int col = 1; col <= SheetTemplate::kColumns; ++col) {
        int seen = 0;
        for (const QStringList& band : bands)
            seen += band.count(SheetTemplate::heading(col));
        EXPECT_EQ(seen, sheet.IsColumnHidden(col) ? 0 : 1)
            << SheetTemplate::heading(col).toStdString();
    }
    for (int count : pagesOfBand)
        EXPECT_EQ(count, pagesOfBand.front());

    // Every row once in each band, in order, whole rows filling each page
    // but the last of a band.
    const int down = pagesOfBand.front();
    const int rowsPerPage =
        static_cast<int>(std::floor((c.pageSize.height() - 2 * kTopMargin) / kRowHeightPoints)) - 1;
    for (std::size_t b = 0; b < bands.size(); ++b) {
        std::vector<int> rows;
        for (int d = 0; d < down; ++d) {
            const std::vector<int> onPage = rowNumbersOn(out.pages[b * down + d]);
            if (d + 1 < down) {
                EXPECT_EQ(static_cast<int>(onPage.size()), rowsPerPage);
            }
            rows.insert(rows.end(), onPage.begin(), onPage.end());
        }
        std::vector<int> expected(static_cast<std::size_t>(sheet.RowCount()));
        std::iota(expected.begin(), expected.end(), 1);
        EXPECT_EQ(rows, expected) << "band " << b;
    }

    // Every cell's words on the page of its row and its column.
    for (std::size_t p = 0; p < out.pages.size(); ++p) {
        const PdfText::Page& page = out.pages[p];
        const QStringList texts = page.texts();
        const QSet<QString> words(texts.begin(), texts.end());
        const QStringList headings = headingsOn(page);
        for (int row : rowNumbersOn(page)) {
            for (int col = 1; col <= SheetTemplate::kColumns; ++col) {
                if (!headings.contains(SheetTemplate::heading(col)))
                    continue;
                for (const QString& word :
                     sheet.CellText(row, col).split(u' ', Qt::SkipEmptyParts)) {
                    EXPECT_TRUE(words.contains(word))
                        << "row " << row << " col " << col << ": " << word.toStdString();
                }
            }
        }
    }

    // The block is centred across the first page.
    const QImage first = PdfText::render(pdf, 1, static_cast<int>(kPointsPerInch));
    ASSERT_FALSE(first.isNull());
    const QRectF ink = inkInBlock(first);
    EXPECT_GE(ink.left(), kSideMargin - kSlack);
    EXPECT_NEAR(ink.left() - kSideMargin, c.pageSize.width() - kSideMargin - ink.right(), 2.0);
}

const QSizeF kA4(595, 842);

INSTANTIATE_TEST_SUITE_P(
    Cases, PrintoutTest,
    ::testing::Values(ContentCase{"TemplateBeforeAnyImport", 0, false, {}, {}, kA4},
                      ContentCase{"LoadedSample", 30, false, {}, {}, kA4},
                      ContentCase{"SeveralPagesDown", 120, false, {}, {}, kA4},
                      ContentCase{"AfterOptimisation", 60, true, {}, {}, kA4},
                      ContentCase{"HiddenColumns", 70, false, {5, 6, 8, 12, 17, 21}, {}, kA4},
                      ContentCase{"LandscapeChosenInTheDialog",
                                  70,
                                  false,
                                  {},
                                  [](QPrinter& printer) {
                                      printer.setPageOrientation(QPageLayout::Landscape);
                                  },
                                  kA4.transposed()}),
    [](const auto& info) { return std::string(info.param.name); });

class PrintoutEdgeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!PdfText::available())
            GTEST_SKIP() << "pdftotext and pdftoppm (poppler-utils) are not installed";
        ReturnFileGenerator generator;
        ASSERT_FALSE(loadInto(sheet, files, generator.sample(40)).isEmpty());
        pdf = files.path(QStringLiteral("saida.pdf"));
    }

    QStringList filesInFolder() const { return QDir(QFileInfo(pdf).path()).entryList(QDir::Files); }

    TestFiles files;
    ResultSheet sheet;
    QString pdf;
};

TEST_F(PrintoutEdgeTest, ColumnWiderThanThePageIsAloneAndClipped)
{
    // On A5 the orientation column is wider than the space between the margins.
    const Printout out = printThroughCommand(
        sheet, pdf, [](QPrinter& printer) { printer.setPageSize(QPageSize(QPageSize::A5)); });
    ASSERT_TRUE(out.printed) << out.error.toStdString();
    const QString wide = SheetTemplate::heading(SheetTemplate::kColumns);
    int checked = 0;
    for (std::size_t p = 0; p < out.pages.size(); ++p) {
        if (!out.pages[p].has(wide))
            continue;
        EXPECT_EQ(headingsOn(out.pages[p]), QStringList{wide});
        const QImage image =
            PdfText::render(pdf, static_cast<int>(p) + 1, static_cast<int>(kPointsPerInch));
        ASSERT_FALSE(image.isNull());
        const QRectF ink = inkInBlock(image);
        // From the left margin right up to the right one, and not beyond.
        EXPECT_NEAR(ink.left(), kSideMargin, 2.0);
        EXPECT_NEAR(ink.right(), image.width() - kSideMargin, 2.0);
        ++checked;
    }
    EXPECT_GT(checked, 0);
}

TEST_F(PrintoutEdgeTest, PagesChosenInTheDialogKeepTheirNumbers)
{
    const Printout all = printThroughCommand(sheet, pdf);
    ASSERT_TRUE(all.printed) << all.error.toStdString();
    ASSERT_GE(all.pages.size(), 3u);

    const Printout some = printThroughCommand(sheet, pdf, [](QPrinter& printer) {
        printer.setPrintRange(QPrinter::PageRange);
        printer.setPageRanges(QPageRanges::fromString(QStringLiteral("2-3")));
    });
    ASSERT_TRUE(some.printed) << some.error.toStdString();
    ASSERT_EQ(some.pages.size(), 2u);
    EXPECT_EQ(some.pages[0].texts(), all.pages[1].texts());
    EXPECT_EQ(some.pages[1].texts(), all.pages[2].texts());
}

struct FailureCase
{
    const char* name;
    bool cancels;
    Choice choice;
    bool targetInMissingFolder;
    bool reported; // a cancel is not a failure: no message
};

class PrintoutFailureTest : public PrintoutEdgeTest,
                            public ::testing::WithParamInterface<FailureCase>
{
};

TEST_P(PrintoutFailureTest, LeavesTheEarlierFileAndNoPartOfANewOne)
{
    const FailureCase& c = GetParam();
    if (c.targetInMissingFolder)
        pdf = files.path(QStringLiteral("faltando/saida.pdf"));
    else
        files.write(QStringLiteral("saida.pdf"), "anterior");
    const QStringList before = filesInFolder();

    const Printout out = printThroughCommand(sheet, pdf, c.choice, c.cancels);
    EXPECT_FALSE(out.printed);
    EXPECT_EQ(out.error.isEmpty(), !c.reported) << out.error.toStdString();
    EXPECT_EQ(filesInFolder(), before);
    if (!c.targetInMissingFolder) {
        QFile earlier(pdf);
        ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
        EXPECT_EQ(earlier.readAll(), QByteArray("anterior"));
    }
    // Printed or not, the user sees the first cell selected again.
    EXPECT_EQ(sheet.Selection(), (CellRange{1, 1, 1, 1}));
}

INSTANTIATE_TEST_SUITE_P(Cases, PrintoutFailureTest,
                         ::testing::Values(FailureCase{"Cancelled", true, {}, false, false},
                                           FailureCase{
                                               "PagesPastTheEnd", false,
                                               [](QPrinter& printer) {
                                                   printer.setPrintRange(QPrinter::PageRange);
                                                   printer.setPageRanges(QPageRanges::fromString(
                                                       QStringLiteral("900-901")));
                                               },
                                               false, true},
                                           FailureCase{"MissingFolder", false, {}, true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrintoutEdgeTest, ReplacesAnEarlierFileWhole)
{
    files.write(QStringLiteral("saida.pdf"), "anterior");
    const QStringList before = filesInFolder();
    const Printout out = printThroughCommand(sheet, pdf);
    ASSERT_TRUE(out.printed) << out.error.toStdString();
    EXPECT_FALSE(out.pages.empty());
    EXPECT_EQ(filesInFolder(), before);
}
} // namespace
