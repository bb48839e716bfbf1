#include "pdftext.h"
#include "returnfilegenerator.h"
#include "sheettemplate.h"
#include "testfiles.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <algorithm>
#include <gtest/gtest.h>

namespace {
enum class Input
{
    Example,
    Generated,
    Missing
};

struct DumpCase
{
    const char* name;
    Input input;
    bool optimise;
    bool outputInMissingFolder;
    bool pdfArgument; // false: "--pdf" with nothing after it
    int exitCode;
    bool writesPdf;
    const char* inStderr;
};

// The hidden columns from the summary's "HIDDEN 6,7,9" line.
std::vector<int> hiddenColumns(const QString& summary)
{
    static const QRegularExpression line(QStringLiteral("^HIDDEN ?(.*)$"),
                                         QRegularExpression::MultilineOption);
    std::vector<int> out;
    const QString list = line.match(summary).captured(1);
    for (const QString& col : list.split(u',', Qt::SkipEmptyParts))
        out.push_back(col.toInt());
    return out;
}

class DumpPdfTest : public ::testing::TestWithParam<DumpCase>
{
};

TEST_P(DumpPdfTest, PrintsThroughThePrintCommand)
{
    if (!PdfText::available())
        GTEST_SKIP() << "pdftotext and pdftoppm (poppler-utils) are not installed";
    const DumpCase& c = GetParam();
    TestFiles files;
    const QString pdf = files.path(c.outputInMissingFolder ? QStringLiteral("nada/saida.pdf")
                                                           : QStringLiteral("saida.pdf"));
    QString input = QStringLiteral(VERINOVA_EXAMPLE);
    if (c.input == Input::Missing)
        input = files.path(QStringLiteral("nenhum.txt"));
    if (c.input == Input::Generated)
        input = files.write(QStringLiteral("retorno.txt"), ReturnFileGenerator().file(60));
    QStringList arguments{QStringLiteral("--summary")};
    if (c.optimise)
        arguments << QStringLiteral("--otimizar");
    arguments << QStringLiteral("--pdf");
    if (c.pdfArgument)
        arguments << pdf << input;

    QProcess dump;
    // No display and no platform chosen: the tool must pick a headless one.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(QString::fromLatin1(name));
    dump.setProcessEnvironment(environment);
    dump.start(QStringLiteral(VERINOVA_DUMP), arguments);
    ASSERT_TRUE(dump.waitForFinished(60'000));
    const QString err = QString::fromLocal8Bit(dump.readAllStandardError());
    EXPECT_EQ(dump.exitCode(), c.exitCode) << err.toStdString();
    EXPECT_TRUE(err.contains(QString::fromUtf8(c.inStderr))) << err.toStdString();
    ASSERT_EQ(QFile::exists(pdf), c.writesPdf);
    if (!c.writesPdf)
        return;

    const std::vector<PdfText::Page> pages = PdfText::pages(pdf);
    ASSERT_GT(pages.size(), 1u);
    EXPECT_TRUE(pages.front().has(QStringLiteral("Planilhas1")));
    EXPECT_TRUE(pages.front().has(QStringLiteral("Página")));
    // The printout shows the sheet the commands left: hidden headings nowhere.
    const std::vector<int> hidden = hiddenColumns(QString::fromUtf8(dump.readAllStandardOutput()));
    EXPECT_EQ(hidden.empty(), !c.optimise);
    for (int col = 1; col <= SheetTemplate::kColumns; ++col) {
        const bool isHidden = std::find(hidden.begin(), hidden.end(), col) != hidden.end();
        const bool printed = std::any_of(pages.begin(), pages.end(), [&](const auto& page) {
            return page.has(SheetTemplate::heading(col));
        });
        EXPECT_NE(printed, isHidden) << SheetTemplate::heading(col).toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DumpPdfTest,
    ::testing::Values(
        DumpCase{"Example", Input::Example, false, false, true, 0, true, ""},
        DumpCase{"Optimised", Input::Generated, true, false, true, 0, true, ""},
        DumpCase{"OutputFolderMissing", Input::Example, false, true, true, 1, false, "PDF"},
        DumpCase{"InputMissing", Input::Missing, false, false, true, 1, false, ""},
        DumpCase{"NoOutputNamed", Input::Example, false, false, false, 2, false, "usage"}),
    [](const auto& info) { return std::string(info.param.name); });
} // namespace
