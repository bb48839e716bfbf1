#include "processing/returncomparison.h"
#include "sheet/resultsheet.h"
#include "tests/support/casename.h"
#include "tests/support/failingallocation.h"
#include "tests/support/testfiles.h"
#include "tools/returnfilegenerator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {
using Side = ReturnComparison::Side;
using Situation = ReturnComparison::Situation;

struct Worker
{
    std::string cpf;
    std::string nis;
    std::string nome = "MARIA DA SILVA";
    std::string dn = "01011980";
    // Column -> code; every other code column is "0". A column mapped to
    // "-" ends the line before it.
    std::map<int, std::string> codes = {};
};

std::string lineOf(const Worker& w)
{
    std::string line = w.cpf + ';' + w.nis + ';' + w.nome + ';' + w.dn;
    for (int col = 5; col <= 21; ++col) {
        const auto it = w.codes.find(col);
        if (it != w.codes.end() && it->second == "-")
            break;
        line += ';' + (it != w.codes.end() ? it->second : std::string("0"));
    }
    return line + "\r\n";
}

std::string fileOf(const std::vector<Worker>& workers)
{
    std::string text = "CPF;NIS;NOME;DN;COD_NIS_INV;COD_CPF_INV;COD_NOME_INV;COD_DN_INV;"
                       "COD_CNIS_NIS;COD_CNIS_DN;COD_CNIS_OBITO;COD_CNIS_CPF;"
                       "COD_CNIS_CPF_NAO_INF;COD_CPF_NAO_CONSTA;COD_CPF_NULO;COD_CPF_CANCELADO;"
                       "COD_CPF_SUSPENSO;COD_CPF_DN;COD_CPF_NOME;COD_ORIENTACAO_CPF;"
                       "COD_ORIENTACAO_NIS\r\n";
    for (const Worker& w : workers)
        text += lineOf(w);
    return text;
}

// An entry as the tests write it: the situation, the earlier and the
// current row (0: not in that file), and an ambiguous one's candidates.
struct Expected
{
    Situation situation;
    int earlierRow;
    int currentRow;
    std::vector<int> candidates = {};
    friend bool operator==(const Expected&, const Expected&) = default;
};

void PrintTo(const Expected& e, std::ostream* os)
{
    *os << ReturnComparison::situationText(e.situation).toStdString() << " (" << e.earlierRow
        << ", " << e.currentRow << ")";
    for (int row : e.candidates)
        *os << " ~" << row;
}

struct Compared
{
    TestFiles files;
    ReturnComparison comparison;

    Compared(const std::string& earlier, const std::string& current)
        : comparison(ReturnComparison::compare(files.write(QStringLiteral("anterior.txt"), earlier),
                                               files.write(QStringLiteral("atual.txt"), current)))
    {
    }

    std::vector<Expected> entries() const
    {
        std::vector<Expected> result;
        for (const ReturnComparison::Entry& e : comparison.entries())
            result.push_back({e.situation, e.earlierRow, e.currentRow, comparison.candidates(e)});
        return result;
    }
};

Worker person(std::string cpf, std::string nis, std::string nome = "MARIA DA SILVA",
              std::string dn = "01011980")
{
    return {std::move(cpf), std::move(nis), std::move(nome), std::move(dn)};
}

struct MatchCase
{
    const char* name;
    std::vector<Worker> earlier;
    std::vector<Worker> current;
    std::vector<Expected> expected;
};

class MatchTest : public ::testing::TestWithParam<MatchCase>
{
};

TEST_P(MatchTest, PairsWorkersByTheirKeys)
{
    const MatchCase& c = GetParam();
    const Compared compared(fileOf(c.earlier), fileOf(c.current));
    ASSERT_TRUE(compared.comparison.succeeded());
    EXPECT_EQ(compared.entries(), c.expected);
    for (int s = 0; s < ReturnComparison::kSituationCount; ++s) {
        const auto situation = static_cast<Situation>(s);
        EXPECT_EQ(compared.comparison.count(situation),
                  std::count_if(c.expected.begin(), c.expected.end(),
                                [&](const Expected& e) { return e.situation == situation; }))
            << ReturnComparison::situationText(situation).toStdString();
    }
}

constexpr auto kNone = Situation::NoProblem;
constexpr auto kGone = Situation::EarlierOnly;
constexpr auto kAmbiguous = Situation::Ambiguous;

INSTANTIATE_TEST_SUITE_P(
    Cases, MatchTest,
    ::testing::Values(
        // In the current file's order, whatever the earlier one's.
        MatchCase{"ByCpfInTheCurrentOrder",
                  {person("111", "9", "ANA"), person("222", "8", "BIA")},
                  {person("222", "7", "BIA"), person("111", "6", "ANA"), person("333", "5")},
                  {{kNone, 2, 1}, {kNone, 1, 2}, {kNone, 0, 3}}},
        // The CPF is the file's text: a leading zero dropped is another CPF.
        MatchCase{"CpfComparedAsWritten",
                  {person("01234567890", "9", "ANA")},
                  {person("1234567890", "8", "BIA")},
                  {{kNone, 0, 1}, {kGone, 1, 0}}},
        // A CPF corrected: the NIS, or else NOME and DN, still finds the
        // worker when it is no one else's in either file.
        MatchCase{"CorrectedCpfFoundByNis",
                  {person("111", "9", "ANA"), person("333", "7", "CAIO")},
                  {person("222", "9", "ANA MARIA"), person("333", "7", "CAIO")},
                  {{kNone, 1, 1}, {kNone, 2, 2}}},
        MatchCase{"CorrectedCpfAndNisFoundByNomeAndDn",
                  {person("111", "9", "ANA"), person("333", "9", "BIA")},
                  {person("222", "8", "ANA"), person("333", "9", "BIA")},
                  {{kNone, 1, 1}, {kNone, 2, 2}}},
        // Namesakes born on one day, each with a NIS of its own: two people.
        MatchCase{"NamesakesWithNisOfTheirOwnAreTwoPeople",
                  {person("111", "9", "ANA")},
                  {person("222", "8", "ANA")},
                  {{kNone, 0, 1}, {kGone, 1, 0}}},
        // A corrected CPF's NIS in two workers of the other file: either
        // could be the worker.
        MatchCase{"CorrectedCpfWithTwoCandidatesIsAmbiguous",
                  {person("111", "9", "ANA")},
                  {person("222", "9", "BIA"), person("333", "9", "CAIO")},
                  {{kAmbiguous, 0, 1, {1}}, {kAmbiguous, 0, 2, {1}}, {kAmbiguous, 1, 0, {1, 2}}}},
        MatchCase{"CpfEmptyInOneFileThenNis",
                  {person("", "9", "ANA"), person("111", "8", "BIA")},
                  {person("111", "8", "BIA"), person("222", "9", "ANA")},
                  {{kNone, 2, 1}, {kNone, 1, 2}}},
        // The same CPF twice in the earlier file only: the NIS tells which,
        // and the one left over is no one's candidate any more.
        MatchCase{"CpfRepeatedInTheEarlierFileThenNis",
                  {person("111", "9"), person("111", "8")},
                  {person("111", "8")},
                  {{kNone, 2, 1}, {kGone, 1, 0}}},
        MatchCase{"CpfRepeatedInTheCurrentFileThenNis",
                  {person("111", "8")},
                  {person("111", "9"), person("111", "8")},
                  {{kNone, 0, 1}, {kNone, 1, 2}}},
        // CPF and NIS fail (empty, repeated): NOME and DN, and only both.
        MatchCase{"NomeAndDnWhenCpfAndNisFail",
                  {person("", "7", "ANA"), person("", "7", "BIA"), person("", "", "CAIO", "")},
                  {person("", "", "BIA"), person("", "", "CAIO", "")},
                  {{kNone, 2, 1}, {kNone, 0, 2}, {kGone, 1, 0}, {kGone, 3, 0}}},
        // A NIS is repeated even when the CPF has paired the other worker
        // who has it: a placeholder NIS would otherwise pair a worker who
        // left with one hired.
        MatchCase{"NisOfAWorkerPairedByCpfStillCounts",
                  {person("111", "9", "ANA"), person("", "9", "BIA")},
                  {person("111", "9", "ANA"), person("", "9", "CAIO")},
                  {{kNone, 1, 1}, {kNone, 0, 2}, {kGone, 2, 0}}},
        // A NIS repeated in both files is no one's: the worker whose CPF is
        // repeated is not a candidate for every worker with that NIS.
        MatchCase{
            "NisRepeatedInBothFilesTellsNothing",
            {person("111", "0", "ANA"), person("111", "0", "BIA"), person("222", "0", "CAIO")},
            {person("333", "0", "DIVA"), person("444", "0", "EVA")},
            {{kNone, 0, 1}, {kNone, 0, 2}, {kGone, 1, 0}, {kGone, 2, 0}, {kGone, 3, 0}}},
        // The same line twice in both files, each time the same worker: the
        // lines pair in the files' order.
        MatchCase{"LineRepeatedInBothFilesPairsInOrder",
                  {person("111", "9"), person("222", "8", "BIA"), person("111", "9")},
                  {person("111", "9"), person("111", "9"), person("222", "8", "BIA")},
                  {{kNone, 1, 1}, {kNone, 3, 2}, {kNone, 2, 3}}},
        // The same, its CPF corrected on every line: still that worker.
        MatchCase{"LineRepeatedWithItsCpfCorrectedPairsInOrder",
                  {person("111", "9"), person("222", "8", "BIA"), person("111", "9")},
                  {person("333", "9"), person("333", "9"), person("222", "8", "BIA")},
                  {{kNone, 1, 1}, {kNone, 3, 2}, {kNone, 2, 3}}},
        // Three times before and twice now: any of them could be any.
        MatchCase{"LineRepeatedUnevenlyIsAmbiguous",
                  {person("111", "9"), person("111", "9"), person("111", "9")},
                  {person("111", "9"), person("111", "9")},
                  {{kAmbiguous, 0, 1, {1, 2, 3}},
                   {kAmbiguous, 0, 2, {1, 2, 3}},
                   {kAmbiguous, 1, 0, {1, 2}},
                   {kAmbiguous, 2, 0, {1, 2}},
                   {kAmbiguous, 3, 0, {1, 2}}}},
        // A line repeated in the earlier file: either could be the worker.
        MatchCase{"TwoCandidatesAreAmbiguous",
                  {person("111", "9"), person("222", "8", "BIA"), person("111", "9")},
                  {person("111", "9"), person("222", "8", "BIA")},
                  {{kAmbiguous, 0, 1, {1, 3}},
                   {kNone, 2, 2},
                   {kAmbiguous, 1, 0, {1}},
                   {kAmbiguous, 3, 0, {1}}}}),
    CaseName());

struct SituationCase
{
    const char* name;
    std::map<int, std::string> earlierCodes;
    bool earlierPresent;
    std::map<int, std::string> currentCodes;
    Situation expected;
    const char* text;
};

class SituationTest : public ::testing::TestWithParam<SituationCase>
{
};

TEST_P(SituationTest, FollowsTheChecksAndOrientations)
{
    const SituationCase& c = GetParam();
    Worker before = person("111", "9");
    before.codes = c.earlierCodes;
    Worker now = person("111", "9");
    now.codes = c.currentCodes;
    const std::vector<Worker> earlier = c.earlierPresent
                                            ? std::vector<Worker>{before}
                                            : std::vector<Worker>{person("999", "1", "OUTRA")};
    // Another worker after it keeps a file whose one line is cut short a
    // return file.
    const Compared compared(fileOf(earlier), fileOf({now, person("888", "2", "ZE")}));
    ASSERT_TRUE(compared.comparison.succeeded());
    const ReturnComparison::Entry& entry = compared.comparison.entries().front();
    EXPECT_EQ(entry.situation, c.expected);
    EXPECT_EQ(ReturnComparison::situationText(entry.situation), QString::fromUtf8(c.text));
    EXPECT_EQ(entry.earlierRow, c.earlierPresent ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SituationTest,
    ::testing::Values(
        SituationCase{"OkInBoth", {}, true, {}, Situation::NoProblem, "Sem problema"},
        SituationCase{"CheckFixed", {{6, "1"}}, true, {}, Situation::Resolved, "Resolvido"},
        SituationCase{
            "OrientationFollowed", {{21, "1"}}, true, {}, Situation::Resolved, "Resolvido"},
        SituationCase{"StillWrong", {{6, "1"}}, true, {{19, "1"}}, Situation::Pending, "Pendente"},
        SituationCase{"NewCheck", {}, true, {{5, "1"}}, Situation::NewProblem, "Novo problema"},
        SituationCase{
            "NewOrientation", {}, true, {{20, "1"}}, Situation::NewProblem, "Novo problema"},
        // A line cut short has no codes to read "OK": it is no clean line.
        SituationCase{
            "ShortLineNow", {}, true, {{12, "-"}}, Situation::NewProblem, "Novo problema"},
        SituationCase{
            "AbsentThenWrong", {}, false, {{7, "1"}}, Situation::NewProblem, "Novo problema"},
        SituationCase{"AbsentThenOk", {}, false, {}, Situation::NoProblem, "Sem problema"}),
    CaseName());

// A pending worker keeps both lists: which cells, and what each said.
TEST(ReturnComparisonTest, PendingKeepsBothListsOfMessages)
{
    Worker before = person("111", "9");
    before.codes = {{6, "1"}, {21, "2"}};
    Worker now = person("111", "9");
    now.codes = {{6, "1"}, {20, "1"}};
    const Compared compared(fileOf({before, person("222", "8")}), fileOf({now}));
    ASSERT_TRUE(compared.comparison.succeeded());
    const auto listed = [&](Side side) {
        std::vector<std::string> texts;
        for (const auto& p : compared.comparison.problems(side, 1))
            texts.push_back(std::to_string(p.column) + " " + p.heading.toStdString() + ": " +
                            p.text.toStdString());
        return texts;
    };
    EXPECT_EQ(listed(Side::Earlier),
              (std::vector<std::string>{
                  "6 COD_CPF_INV: CPF inválido",
                  "21 COD_ORIENTACAO_NIS: Atualizar Cadastro NIS da CAIXA-Usar Cadastro NIS "
                  "Empresa pelo Conect. Social ou uma ag. da CAIXA"}));
    EXPECT_EQ(listed(Side::Current),
              (std::vector<std::string>{"6 COD_CPF_INV: CPF inválido",
                                        "20 COD_ORIENTACAO_CPF: Procurar Conveniadas da RFB: "
                                        "Correios, Banco do Brasil ou CAIXA"}));
    EXPECT_EQ(compared.comparison.count(Situation::Pending), 1);
    EXPECT_EQ(compared.comparison.count(Situation::EarlierOnly), 1);
}

// Memory that runs out anywhere, in either import or in the matching, is
// told as Processar tells it; nothing escapes to end the program.
TEST(ReturnComparisonTest, RunningOutOfMemoryIsTold)
{
    TestFiles files;
    ReturnFileGenerator::Options other;
    other.seed = 7;
    const QString earlier =
        files.write(QStringLiteral("anterior.txt"), ReturnFileGenerator().file(3000));
    const QString current =
        files.write(QStringLiteral("atual.txt"), ReturnFileGenerator(other).file(3000));
    const std::size_t entries = ReturnComparison::compare(earlier, current).entries().size();
    for (long n = 0;; ++n) {
        FailingAllocation failing(n, 4096);
        const ReturnComparison comparison = ReturnComparison::compare(earlier, current);
        if (!failing.failed()) {
            EXPECT_TRUE(comparison.succeeded());
            EXPECT_EQ(comparison.entries().size(), entries);
            ASSERT_GT(n, 10) << "the comparison asked for too little memory to test";
            break;
        }
        ASSERT_FALSE(comparison.succeeded()) << n;
        EXPECT_EQ(comparison.outcome(comparison.failedSide()).message, CommandMessage::OutOfMemory)
            << n;
        EXPECT_TRUE(comparison.entries().empty()) << n;
    }
}

struct NotReturnCase
{
    const char* name;
    bool earlierIsOdd;
};

class NotAReturnFileTest : public ::testing::TestWithParam<NotReturnCase>
{
};

// Either file not a return file: Processar's message for it, no comparison.
TEST_P(NotAReturnFileTest, GivesProcessarsMessageAndNoComparison)
{
    const std::string odd = "Nome,Valor\r\nAna,10\r\nBia,20\r\n";
    const std::string good = fileOf({person("111", "9")});
    const bool earlierIsOdd = GetParam().earlierIsOdd;
    const Compared compared(earlierIsOdd ? odd : good, earlierIsOdd ? good : odd);
    const Side side = earlierIsOdd ? Side::Earlier : Side::Current;
    EXPECT_FALSE(compared.comparison.succeeded());
    EXPECT_EQ(compared.comparison.failedSide(), side);
    EXPECT_EQ(compared.comparison.outcome(side).message, CommandMessage::NotAReturnFile);
    EXPECT_TRUE(compared.comparison.entries().empty());
    for (int s = 0; s < ReturnComparison::kSituationCount; ++s)
        EXPECT_EQ(compared.comparison.count(static_cast<Situation>(s)), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, NotAReturnFileTest,
                         ::testing::Values(NotReturnCase{"Earlier", true},
                                           NotReturnCase{"Current", false}),
                         CaseName());
} // namespace
