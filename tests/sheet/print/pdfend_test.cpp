#include "sheet/print/pdfend.h"
#include "tests/support/casename.h"
#include "tests/support/testfiles.h"

#include <QPainter>
#include <QPdfWriter>

#include <gtest/gtest.h>

#include <functional>

namespace {
struct EndCase
{
    const char* name;
    std::function<QByteArray(const QByteArray&)> written; // of the printer's bytes
    bool whole;
};

class PdfEndTest : public ::testing::TestWithParam<EndCase>
{
};

QByteArray printout()
{
    TestFiles files;
    const QString path = files.path(QStringLiteral("impresso.pdf"));
    {
        QPdfWriter writer(path);
        QPainter painter(&writer);
        for (int page = 0; page < 3; ++page) {
            if (page > 0)
                writer.newPage();
            painter.drawText(100, 100, QStringLiteral("Página %1").arg(page + 1));
        }
    }
    return TestFiles::read(path);
}

// A printout to a file is whole only with every byte the printer handed
// over, whichever of them the disk did not take.
TEST_P(PdfEndTest, TellsAPrintoutThatLostBytes)
{
    const EndCase& c = GetParam();
    const QByteArray bytes = printout();
    ASSERT_TRUE(bytes.endsWith("%%EOF\n"));
    TestFiles files;
    const QString path = files.write(QStringLiteral("saida.pdf"), c.written(bytes).toStdString());
    EXPECT_EQ(PdfEnd::whole(path), c.whole);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PdfEndTest,
    ::testing::Values(
        EndCase{"Whole", [](const QByteArray& b) { return b; }, true},
        // The last writes fell short: past the size limit, a full disk.
        EndCase{"LastBytesLost", [](const QByteArray& b) { return b.first(b.size() - 20); }, false},
        EndCase{"LastPagesLost", [](const QByteArray& b) { return b.first(b.size() / 2); }, false},
        // One write in the middle fell short, the later ones did not.
        EndCase{"BytesLostInTheMiddle",
                [](const QByteArray& b) { return b.first(600) + b.sliced(700); }, false},
        EndCase{"Empty", [](const QByteArray&) { return QByteArray(); }, false}),
    CaseName());
} // namespace
