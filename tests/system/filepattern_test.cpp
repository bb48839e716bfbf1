// What a "*" or "?" that cmd passed on as typed stands for.
#include "system/filepattern.h"
#include "tests/support/casename.h"
#include "tests/support/testfiles.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {
struct PatternCase
{
    const char* name;
    QString pattern; // in the test's folder
    QStringList matches;
};

void PrintTo(const PatternCase& c, std::ostream* os)
{
    *os << c.name;
}

class FilePatternTest : public ::testing::TestWithParam<PatternCase>
{
};

// The government's names in both cases, as files copied from different
// places come; a name without an extension; a folder; a name beyond ASCII.
TEST_P(FilePatternTest, MatchesAsWindowsDoesInNameOrder)
{
    const PatternCase& c = GetParam();
    TestFiles files;
    for (const QString& name :
         {u"D.CNS.CPF.002.20261201093000.TXT.PROCESSADO"_s,
          u"d.cns.cpf.002.20261101080000.txt.processado"_s, u"D.CNS.CPF.TXT.PROCESSADO.csv"_s,
          u"retorno.txt"_s, u"retorno"_s, u"retorno.txt2"_s, u"Dezembro/retorno.txt"_s,
          u"Łódź 🙂.txt"_s})
        files.write(name, "x");
    const QString dir = QFileInfo(files.path(u"retorno.txt"_s)).path();

    const QString pattern = dir + u'/' + c.pattern;
    EXPECT_TRUE(FilePattern::isPattern(pattern));
    QStringList expected;
    for (const QString& match : c.matches)
        expected.append(dir + u'/' + match);
    EXPECT_EQ(FilePattern::matches(pattern).join(u'\n').toStdString(),
              expected.join(u'\n').toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FilePatternTest,
    ::testing::Values(
        // Case aside, and listed so: not the upper-case name first.
        PatternCase{"CaseAsideInNameOrder",
                    u"D.CNS*.PROCESSADO"_s,
                    {u"d.cns.cpf.002.20261101080000.txt.processado"_s,
                     u"D.CNS.CPF.002.20261201093000.TXT.PROCESSADO"_s}},
        PatternCase{"QuestionMarkIsOneCharacter", u"retorno.t?t"_s, {u"retorno.txt"_s}},
        // "*.*" is every file, one without an extension too; folders match.
        PatternCase{"EveryName",
                    u"*.*"_s,
                    {u"d.cns.cpf.002.20261101080000.txt.processado"_s,
                     u"D.CNS.CPF.002.20261201093000.TXT.PROCESSADO"_s,
                     u"D.CNS.CPF.TXT.PROCESSADO.csv"_s, u"Dezembro"_s, u"retorno"_s,
                     u"retorno.txt"_s, u"retorno.txt2"_s, u"Łódź 🙂.txt"_s}},
        // Case aside beyond ASCII; a character beyond the basic plane is one,
        // typed or matched by "?".
        PatternCase{"BeyondAscii", u"ŁÓDŹ?🙂*"_s, {u"Łódź 🙂.txt"_s}},
        PatternCase{"QuestionMarkBeyondTheBasicPlane", u"łódź ?.TXT"_s, {u"Łódź 🙂.txt"_s}},
        // The rest of the path as typed, "." and all.
        PatternCase{"PathAsTyped", u"./Dezembro/../retorno.*t"_s, {u"./Dezembro/../retorno.txt"_s}},
        PatternCase{"NothingMatches", u"nada*.txt"_s, {}}),
    CaseName());

TEST(FilePattern, OnlyTheLastComponentIsAPattern)
{
    EXPECT_FALSE(FilePattern::isPattern(u"retornos/D.CNS.TXT.PROCESSADO"_s));
    EXPECT_FALSE(FilePattern::isPattern(u"retor*/D.CNS.TXT.PROCESSADO"_s));
    EXPECT_TRUE(FilePattern::isPattern(u"retor*/D.CNS?.TXT"_s));
}
} // namespace
