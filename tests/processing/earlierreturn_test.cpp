#include "processing/earlierreturn.h"
#include "tests/support/casename.h"
#include "tests/support/testfiles.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {
// Company A's returns of October, November (and a copy of it), December and
// later in December; company B's of the end of November; a note.
const char* const kFolder[] = {
    "D.CNS.CPF.002.20261001093000.11222333000181.12345678909.TXT.PROCESSADO",
    "D.CNS.CPF.002.20261101093000.11222333000181.12345678909.TXT.PROCESSADO",
    "D.CNS.CPF.002.20261101093000.11222333000181.12345678909.TXT.PROCESSADO (1)",
    "D.CNS.CPF.002.20261201093000.11222333000181.12345678909.TXT.PROCESSADO",
    "D.CNS.CPF.002.20261215080000.11222333000181.98765432100.TXT.PROCESSADO",
    "D.CNS.CPF.002.20261130170500.12345678000195.12345678909.TXT.PROCESSADO",
    "leia-me.txt",
};

struct EarlierCase
{
    const char* name;
    int current;  // in kFolder
    int expected; // in kFolder; -1: none
};

const EarlierCase kCases[] = {
    // Not B's newer return, nor the copy listed after the original.
    {"NewestOfTheSameCompanyBeforeIt", 3, 1},
    // Another responsible person's return is still the company's.
    {"WhoeverSentIt", 4, 3},
    {"NoneBeforeTheFirst", 0, -1},
    {"NoneForACompanyWithOneReturn", 5, -1},
    // A copy bears the same time as its original: not earlier than it.
    {"ACopyIsNotEarlier", 2, 0},
    {"NoneForANameNotTheGovernments", 6, -1},
};

class EarlierReturnTest : public ::testing::TestWithParam<EarlierCase>
{
};

TEST_P(EarlierReturnTest, IsTheCompanysNewestBeforeTheCurrent)
{
    const EarlierCase& c = GetParam();
    TestFiles files;
    for (const char* name : kFolder)
        files.write(QString::fromUtf8(name), "CPF;NIS\r\n");
    const QString expected =
        c.expected < 0
            ? QString()
            : QDir::toNativeSeparators(
                  QFileInfo(files.path(QString::fromUtf8(kFolder[c.expected]))).absoluteFilePath());
    EXPECT_EQ(EarlierReturn::newestBefore(files.path(QString::fromUtf8(kFolder[c.current]))),
              expected);
}

INSTANTIATE_TEST_SUITE_P(Folder, EarlierReturnTest, ::testing::ValuesIn(kCases), CaseName{});
} // namespace
