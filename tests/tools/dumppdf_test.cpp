#include "pdftext.h"
#include "testfiles.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {
struct DumpCase
{
    const char* name;
    bool missingInput;
    bool outputInMissingFolder;
    bool pdfArgument; // false: "--pdf" with nothing after it
    int exitCode;
    bool writesPdf;
    const char* inStderr;
};

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
    const QString input = c.missingInput ? files.path(QStringLiteral("nenhum.txt"))
                                         : QStringLiteral(VERINOVA_EXAMPLE);
    QStringList arguments{QStringLiteral("--summary"), QStringLiteral("--pdf")};
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
    EXPECT_TRUE(dump.readAllStandardOutput().startsWith("ROWS 30\n"));
    const std::vector<PdfText::Page> pages = PdfText::pages(pdf);
    ASSERT_GT(pages.size(), 1u);
    EXPECT_TRUE(pages.front().has(QStringLiteral("Planilhas1")));
    EXPECT_TRUE(pages.front().has(QStringLiteral("Página")));
    EXPECT_TRUE(pages.front().has(QStringLiteral("CPF")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DumpPdfTest,
    ::testing::Values(DumpCase{"Example", false, false, true, 0, true, ""},
                      DumpCase{"OutputFolderMissing", false, true, true, 1, false, "PDF"},
                      DumpCase{"InputMissing", true, false, true, 1, false, ""},
                      DumpCase{"NoOutputNamed", false, false, false, 2, false, "usage"}),
    [](const auto& info) { return std::string(info.param.name); });
} // namespace
