#include "app/systemprintdialog.h"
#include "processing/printcommand.h"
#include "sheet/print/printhandler.h"
#include "sheet/progress.h"
#include "sheet/resultsheet.h"
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
        for (int col = 1; col <= SheetTemplate::kColumns; ++col)
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
#if !defined(Q_OS_WIN) && !defined(Q_OS_MACOS)
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
