#include "tests/support/casename.h"
#include "tests/support/pdftext.h"
#include "tests/support/testfiles.h"
#include "tools/returnfilegenerator.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace {
struct DumpCase
{
    const char* name;
    QStringList options;
    const char* output;
    int exitCode;
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
    const QString pdf = files.path(QString::fromUtf8(c.output));
    const QString input = files.write(QStringLiteral("r.txt"), ReturnFileGenerator().file(60));
    QProcess dump;
    // No display and no platform chosen: the tool must pick a headless one.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.remove(QStringLiteral("DISPLAY"));
    dump.setProcessEnvironment(environment);
    dump.start(QStringLiteral(VERINOVA_DUMP), QStringList(c.options) << pdf << input);
    ASSERT_TRUE(dump.waitForFinished(60'000));
    const QString err = QString::fromLocal8Bit(dump.readAllStandardError());
    EXPECT_EQ(dump.exitCode(), c.exitCode) << err.toStdString();
    EXPECT_TRUE(err.contains(QString::fromUtf8(c.inStderr))) << err.toStdString();
    ASSERT_EQ(QFile::exists(pdf), c.exitCode == 0);
    if (c.exitCode == 0) {
        const std::vector<PdfText::Page> pages = PdfText::pages(pdf);
        ASSERT_FALSE(pages.empty());
        EXPECT_TRUE(pages.front().has(QStringLiteral("Planilhas1")));
    }
}

const QString kPdf = QStringLiteral("--pdf");
const QString kSummary = QStringLiteral("--summary");

INSTANTIATE_TEST_SUITE_P(
    Cases, DumpPdfTest,
    ::testing::Values(
        DumpCase{"Loaded", {kSummary, kPdf}, "saida.pdf", 0, ""},
        DumpCase{"Optimised", {kSummary, QStringLiteral("--otimizar"), kPdf}, "saida.pdf", 0, ""},
        DumpCase{"OutputFolderMissing", {kSummary, kPdf}, "nada/saida.pdf", 1, "PDF"}),
    CaseName());
} // namespace
