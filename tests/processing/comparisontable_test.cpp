#include "processing/comparisontable.h"
#include "tests/support/testfiles.h"
#include "tools/returnfilegenerator.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {
std::string line(const char* cpf, const char* nis, const char* nome, bool problem)
{
    std::string text =
        std::string(cpf) + ';' + nis + ';' + nome + ";01011980;" + (problem ? "1" : "0");
    for (int col = 6; col <= 21; ++col)
        text += ";0";
    return text + "\r\n";
}

// What identifies a worker and was corrected between the returns is told
// beside the situation, as it was and as it is: the clerk sees why a worker
// with another CPF is the same one. The counts go with the table, not in
// its title.
TEST(ComparisonTable, TellsWhatWasCorrected)
{
    TestFiles files;
    const QString earlier =
        files.write(u"anterior.txt"_s, ReturnFileGenerator::header() +
                                           line("04758722587", "12345678901", "ANA", true) +
                                           line("11111111111", "", "BIA", false) +
                                           line("33333333333", "44444444444", "CAIO SOUZA", false) +
                                           line("55555555555", "66666666666", "DIVA", false));
    const QString current =
        files.write(u"atual.txt"_s, ReturnFileGenerator::header() +
                                        line("04758722578", "12345678901", "ANA", false) +
                                        line("11111111112", "22222222223", "BIA", false) +
                                        line("33333333333", "44444444444", "CAIO SOUSA", false));
    const ReturnComparison comparison = ReturnComparison::compare(earlier, current);
    ASSERT_TRUE(comparison.succeeded());
    const Table table = ComparisonTable::of(comparison, u"anterior.txt"_s, u"atual.txt"_s);

    ASSERT_EQ(table.headings.size(), 8);
    EXPECT_EQ(table.headings.last(), u"Correções"_s);
    // Situation, CPF now, corrections.
    const std::vector<QStringList> expected{
        {u"Resolvido"_s, u"04758722578"_s, u"CPF corrigido: 047.587.225-87 → 047.587.225-78"_s},
        {u"Sem problema"_s, u"11111111112"_s,
         u"CPF corrigido: 111.111.111-11 → 111.111.111-12\n"
         u"NIS corrigido: (vazio) → 22222222223"_s},
        {u"Sem problema"_s, u"33333333333"_s, u"NOME corrigido: CAIO SOUZA → CAIO SOUSA"_s},
        {u"Só no anterior"_s, u"55555555555"_s, u""_s}};
    ASSERT_EQ(table.rows.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const std::vector<Table::Cell>& row = table.rows[i];
        EXPECT_EQ((QStringList{std::get<QString>(row.at(0)), std::get<QString>(row.at(1)),
                               std::get<QString>(row.at(7))}),
                  expected[i])
            << i;
    }
    EXPECT_EQ(table.title, u"atual.txt comparado com anterior.txt"_s);
    const std::vector<std::pair<QString, std::int64_t>> counts{
        {u"Resolvido"_s, 1},    {u"Pendente"_s, 0},       {u"Novo problema"_s, 0},
        {u"Sem problema"_s, 2}, {u"Só no anterior"_s, 1}, {u"Correspondência ambígua"_s, 0}};
    EXPECT_EQ(table.counts, counts);
}
} // namespace
