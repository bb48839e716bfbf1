#include "app/systemprintdialog.h"
#include "processing/printcommand.h"
#include "sheet/print/printhandler.h"
#include "sheet/print/sheetprinter.h"
#include "sheet/progress.h"
#include "sheet/resultsheet.h"
#include "sheet/returnfields.h"
#include "sheet/sheettemplate.h"
#ifndef _WIN32
#include "tests/support/diskfull.h"
#endif
#include "tests/support/casename.h"
#include "tests/support/testfiles.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {
// The system's print dialog where the user chose "Imprimir para arquivo"
// and a file name; what it would show in a message box is kept.
class PrintToFileDialog final : public SystemPrintDialog
{
public:
    explicit PrintToFileDialog(QString file) : file_(std::move(file)) {}
    std::vector<QString> told;

protected:
    bool ask(QPrinter& printer) override
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file_);
        return true;
    }
    void tell(const QString& message) override { told.push_back(message); }
    // A computer with a printer: else there would be no dialog to choose in.
    bool hasPrinter() const override { return true; }

private:
    QString file_;
};

// Cancelar after this many pages.
class CancelAfter final : public Progress
{
public:
    explicit CancelAfter(int pages) : pages_(pages) {}
    bool advance(int done, int) override { return done < pages_; }

private:
    int pages_;
};

struct PrintToFileCase
{
    const char* name;
    bool diskFull; // else cancelled at the third page
    const char* told;
};

class PrintToFileTest : public ::testing::TestWithParam<PrintToFileCase>
{
};

// Printing to a file is a save like any other: cancelled or stopped by a
// full disk it leaves no file and an earlier one as it was; the full disk
// is told with its reason.
TEST_P(PrintToFileTest, LeavesNoPartOfAFile)
{
    const PrintToFileCase& c = GetParam();
    TestFiles files;
    const QString path = files.write(u"impressao.pdf"_s, "anterior");
    ResultSheet sheet;
    for (int row = 1; row <= 3000; ++row) {
        for (int col = 1; col <= ReturnFields::kCount; ++col)
            sheet.SetCellText(row, col, u"NOME %1 %2"_s.arg(row).arg(col));
    }
    sheet.SetRowCount(3000);
    const auto dialog = std::make_shared<PrintToFileDialog>(path);
    if (c.diskFull)
        sheet.SetPrintHandler(makePrintHandler(dialog));
    else
        sheet.SetPrintHandler(
            makePrintHandler(dialog, [] { return std::make_unique<CancelAfter>(3); }));

    bool printed = true;
    {
#ifndef _WIN32
        std::optional<DiskFull> full;
        if (c.diskFull)
            full.emplace(64 * 1024);
#endif
        printed = PrintCommand::run(sheet);
    }

    EXPECT_FALSE(printed);
    ASSERT_EQ(dialog->told.size(), *c.told ? 1u : 0u);
    if (*c.told) {
        EXPECT_TRUE(dialog->told[0].contains(QString::fromUtf8(c.told)))
            << dialog->told[0].toStdString();
        EXPECT_TRUE(dialog->told[0].contains(QDir::toNativeSeparators(path)))
            << dialog->told[0].toStdString();
    }
    EXPECT_EQ(
        QFileInfo(path).dir().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList{u"impressao.pdf"_s});
    QFile earlier(path);
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), QByteArray("anterior"));
}

INSTANTIATE_TEST_SUITE_P(Cases, PrintToFileTest,
                         ::testing::Values(PrintToFileCase{"Cancelled", false, ""}), CaseName());
#ifndef _WIN32 // a full disk is made by the file size limit, POSIX's
INSTANTIATE_TEST_SUITE_P(Posix, PrintToFileTest,
                         ::testing::Values(PrintToFileCase{
                             "DiskFull", true, "o arquivo passou do tamanho máximo permitido"}),
                         CaseName());
#endif
// The system's print dialog on a computer without any printer, or with one
// where the dialog shows: what it told, and the working folder it was shown
// in.
class PrinterlessDialog final : public SystemPrintDialog
{
public:
    PrinterlessDialog(bool printer, const QString& proposed)
        : SystemPrintDialog(nullptr, [proposed] { return proposed; }), printer_(printer)
    {
    }
    std::vector<QString> told;
    std::vector<QString> askedIn;

protected:
    bool ask(QPrinter&) override
    {
        askedIn.push_back(QDir::currentPath());
        return false;
    }
    void tell(const QString& message) override { told.push_back(message); }
    bool hasPrinter() const override { return printer_; }

private:
    bool printer_;
};

struct PrinterCase
{
    const char* name;
    bool printer;
};

class PrinterTest : public ::testing::TestWithParam<PrinterCase>
{
};

// Without a printer the user is told so and how to have the sheet on paper
// all the same; with one the dialog opens where "Imprimir para arquivo"
// proposes its file, and the working folder is the program's again after.
TEST_P(PrinterTest, TellsOrAsksBesideTheProposedFile)
{
    TestFiles files;
    const QString proposed = files.path(u"D.CNS.CPF.002.pdf"_s);
    const QString before = QDir::currentPath();
    ResultSheet sheet;
    sheet.SetCellText(1, 1, u"1"_s);
    const auto dialog = std::make_shared<PrinterlessDialog>(GetParam().printer, proposed);
    sheet.SetPrintHandler(makePrintHandler(dialog));

    EXPECT_FALSE(PrintCommand::run(sheet));

    EXPECT_EQ(QDir::currentPath(), before);
    if (GetParam().printer) {
        EXPECT_TRUE(dialog->told.empty());
        EXPECT_EQ(dialog->askedIn, std::vector<QString>{QFileInfo(proposed).absolutePath()});
    } else {
        EXPECT_TRUE(dialog->askedIn.empty());
        ASSERT_EQ(dialog->told.size(), 1u);
        EXPECT_TRUE(dialog->told[0].contains(u"Nenhuma impressora"_s))
            << dialog->told[0].toStdString();
        EXPECT_TRUE(dialog->told[0].contains(u"PDF (Ctrl+S)"_s)) << dialog->told[0].toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, PrinterTest,
                         ::testing::Values(PrinterCase{"NoPrinter", false},
                                           PrinterCase{"Printer", true}),
                         CaseName());

#if !defined(Q_OS_WIN) && !defined(Q_OS_MACOS)
// Qt's own print dialog offers the printout's pages, every one of them
// chosen: 1 to the last.
TEST(SystemPrintDialogTest, OffersThePrintoutsPages)
{
    ResultSheet sheet;
    for (int row = 1; row <= 400; ++row)
        sheet.SetCellText(row, 3, u"NOME %1"_s.arg(row));
    sheet.SetRowCount(400);
    sheet.SetPrintHandler(makePrintHandler(std::make_shared<SystemPrintDialog>()));
    std::vector<int> offered;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* shown = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (!shown)
            return;
        offered = {shown->minPage(), shown->maxPage(), shown->fromPage(), shown->toPage()};
        shown->reject();
    });
    answer.start(20);
    EXPECT_FALSE(PrintCommand::run(sheet));

    QPrinter printer(QPrinter::HighResolution);
    SheetPrinter::applySettings(printer);
    const int pages = SheetPrinter(sheet).plan(printer).pageCount();
    ASSERT_GT(pages, 1);
    EXPECT_EQ(offered, (std::vector<int>{1, pages, 1, pages}));
}

// Qt's own print dialog, as on Linux: its "Imprimir para arquivo" field
// holds the file the window proposes, and the printer stays the first
// choice.
TEST(SystemPrintDialogTest, ProposesTheFileItIsGiven)
{
    const QString proposed = u"/pasta/D.CNS.CPF.002.pdf"_s;
    SystemPrintDialog dialog(nullptr, [&proposed] { return proposed; });
    QPrinter printer;
    QString field;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* shown = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!shown)
            return;
        if (const auto* file = shown->findChild<QLineEdit*>(u"filename"_s))
            field = file->text();
        shown->reject();
    });
    answer.start(20);
    EXPECT_FALSE(dialog.prepare(printer, true));
    EXPECT_EQ(field, proposed);
    EXPECT_TRUE(printer.outputFileName().isEmpty());
}
#endif
} // namespace
