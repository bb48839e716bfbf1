#include "processing/savetarget.h"
#include "tests/support/casename.h"
#include "tests/support/testfiles.h"
#include "tools/returnfilegenerator.h"

#include <QString>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {
struct SniffCase
{
    const char* name;
    std::function<std::string()> bytes;
    bool isReturnFile;
};

class SaveTargetTest : public ::testing::TestWithParam<SniffCase>
{
};

std::string withoutHeading(const std::string& file)
{
    return file.substr(ReturnFileGenerator::header().size());
}

// "Unicode", as Notepad saves it: UTF-16 little-endian after its mark.
std::string utf16(const std::string& utf8)
{
    const QString text = QString::fromStdString(utf8);
    std::string bytes = "\xFF\xFE";
    for (const QChar c : text) {
        bytes.push_back(static_cast<char>(c.unicode() & 0xFF));
        bytes.push_back(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

// What the grid saves as CSV: the same heading, but messages and "OK" where
// a return holds codes.
std::string gridCsv()
{
    std::string csv = "\xEF\xBB\xBF" + ReturnFileGenerator::header();
    csv += "12345678909;12345678900;JOSE DA SILVA;01011980";
    for (int col = 5; col <= 21; ++col)
        csv += col == 7 ? ";NOME DIVERGENTE NA BASE DO CPF" : ";OK";
    return csv + "\r\n";
}

// A file that reads as a return is never written over, whatever it is
// named; the grid's own CSV, a list or a workbook may be.
TEST_P(SaveTargetTest, TellsAReturnFileFromTheStartOfIt)
{
    const SniffCase& c = GetParam();
    TestFiles files;
    const QString path = files.write(QStringLiteral("alvo.csv"), c.bytes());
    EXPECT_EQ(SaveTarget::isReturnFile(path), c.isReturnFile);
    EXPECT_EQ(SaveTarget::check(path) == SaveTarget::Refusal::ReturnFile, c.isReturnFile);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SaveTargetTest,
    ::testing::Values(
        SniffCase{"GovernmentsFile", [] { return ReturnFileGenerator().sample(30); }, true},
        SniffCase{"WithoutItsHeading",
                  [] { return withoutHeading(ReturnFileGenerator().sample(30)); }, true},
        SniffCase{"Utf16", [] { return utf16(ReturnFileGenerator().sample(3)); }, true},
        // Only the first bytes are read: the line they cut is not judged.
        SniffCase{"LargerThanWhatIsRead", [] { return ReturnFileGenerator().sample(5000); }, true},
        SniffCase{"HeadingAlone", [] { return ReturnFileGenerator::header(); }, true},
        SniffCase{"TheGridsOwnCsv", gridCsv, false},
        SniffCase{"TheGridsOwnCsvOfNobody",
                  [] { return "\xEF\xBB\xBF" + ReturnFileGenerator::header(); }, false},
        SniffCase{"AList", [] { return std::string("Lista de compras\narroz\nfeij\xC3\xA3o\n"); },
                  false},
        SniffCase{"Empty", [] { return std::string(); }, false}),
    CaseName());

TEST(SaveTarget, WhatIsNotThereMayBeWritten)
{
    TestFiles files;
    EXPECT_EQ(SaveTarget::check(files.path(QStringLiteral("novo.xlsx"))),
              SaveTarget::Refusal::None);
}
} // namespace
