#include "app/comparisonmodel.h"
#include "app/comparisonwindow.h"
#include "app/verinova.h"
#include "sheet/grid/sheetview.h"
#include "tests/support/casename.h"
#include "tests/support/fakedialogs.h"
#include "tests/support/testfiles.h"
#include "tools/returnfilegenerator.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace {
// A worker line: CPF from nine digits, and the code columns given (all
// others "0").
std::string worker(std::uint64_t cpf, const char* nome, std::map<int, const char*> codes = {},
                   const char* dn = "01011980")
{
    std::string line = ReturnFileGenerator::cpf(cpf) + ';' + ReturnFileGenerator::nis(cpf + 1) +
                       ';' + nome + ';' + dn;
    for (int col = 5; col <= 21; ++col)
        line += std::string(";") + (codes.contains(col) ? codes[col] : "0");
    return line + "\r\n";
}

// The same company's November and December returns: one worker resolved,
// one pending, one with a new problem, one new without any, one gone.
const QString kEarlier =
    QStringLiteral("D.CNS.CPF.002.20261101093000.11222333000181.12345678909.TXT.PROCESSADO");
const QString kCurrent =
    QStringLiteral("D.CNS.CPF.002.20261201093000.11222333000181.12345678909.TXT.PROCESSADO");

const QString kCounts =
    QStringLiteral("Resolvido: 1   ·   Pendente: 1   ·   Novo problema: 1   ·   "
                   "Sem problema: 1   ·   Só no anterior: 1   ·   "
                   "Correspondência ambígua: 0");

class ComparisonWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    // Processes `processed` in the window, then asks for the comparison
    // with `chosen` from the grid's menu key.
    ComparisonWindow* compare(const QString& processed, const QString& chosen)
    {
        if (!processed.isEmpty()) {
            window.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(processed);
            window.findChild<QAbstractButton*>(QStringLiteral("Command2"))->click();
        }
        dialogs.answer = QDir::toNativeSeparators(chosen);
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        return window.findChild<ComparisonWindow*>();
    }

    TestFiles files;
    const QString earlier = files.write(
        kEarlier, ReturnFileGenerator::header() + worker(100000001, "ANA", {{6, "1"}}) +
                      worker(100000002, "BRUNO") + worker(100000003, "CARLA", {{20, "1"}}) +
                      worker(100000005, "EDUARDO"));
    const QString current =
        files.write(kCurrent, ReturnFileGenerator::header() + worker(100000001, "ANA") +
                                  worker(100000002, "BRUNO", {{7, "1"}}) +
                                  worker(100000003, "CARLA", {{20, "1"}, {6, "1"}}) +
                                  worker(100000004, "DANIELA"));
    std::unique_ptr<FakeDialogs> owned = std::make_unique<FakeDialogs>();
    FakeDialogs& dialogs = *owned;
    Verinova window{std::move(owned)};
    SheetView* grid = window.findChild<SheetView*>(QStringLiteral("F1Book1"));
};

TEST_F(ComparisonWindowTest, OffersTheEarlierReturnShowsEachSituationAndSavesTheOneChosen)
{
    // Nothing processed yet: nothing to compare, and no file asked for.
    EXPECT_EQ(compare({}, earlier), nullptr);
    EXPECT_EQ(dialogs.informations.size(), 1u);
    EXPECT_TRUE(dialogs.opens.empty());

    ComparisonWindow* comparison = compare(current, earlier);
    ASSERT_EQ(dialogs.opens.size(), 1u);
    EXPECT_EQ(dialogs.opens[0].detail.toStdString(),
              QDir::toNativeSeparators(QFileInfo(earlier).absoluteFilePath()).toStdString());
    ASSERT_NE(comparison, nullptr);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(comparison->findChild<QLabel*>(QStringLiteral("contagens"))->text(), kCounts);
    auto* table = comparison->findChild<QTableView*>(QStringLiteral("tabela"));
    EXPECT_EQ(table->model()->rowCount(), 5);

    // Pendente: CARLA only, with what she had then and has now.
    comparison->findChild<QComboBox*>(QStringLiteral("situacao"))->setCurrentIndex(2);
    ASSERT_EQ(table->model()->rowCount(), 1);
    EXPECT_EQ(table->model()->index(0, ComparisonModel::Nome).data().toString(),
              QStringLiteral("CARLA"));
    const QString before =
        comparison->findChild<QPlainTextEdit*>(QStringLiteral("antes"))->toPlainText();
    const QString now =
        comparison->findChild<QPlainTextEdit*>(QStringLiteral("agora"))->toPlainText();
    EXPECT_EQ(before.count(u'\n'), 0) << before.toStdString();
    EXPECT_EQ(now.count(u'\n'), 1) << now.toStdString();
    EXPECT_TRUE(!before.isEmpty() && now.contains(before)) << now.toStdString();

    // Never over a compared file nor another return; the list shown, as CSV.
    auto* save = comparison->findChild<QAbstractButton*>(QStringLiteral("Salvar"));
    const QByteArray earlierBytes = TestFiles::read(earlier);
    dialogs.saveAnswer = FakeDialogs::SaveChoice{earlier, {}};
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(TestFiles::read(earlier), earlierBytes);
    const QString third = files.write(QStringLiteral("setembro.csv"), earlierBytes.toStdString());
    dialogs.saveAnswer = FakeDialogs::SaveChoice{third, {}};
    QTest::mouseClick(save, Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].detail,
              QStringLiteral("A comparação não foi salva: \"%1\" é um arquivo de retorno e "
                             "seria perdido. Escolha outro nome.")
                  .arg(QDir::toNativeSeparators(third)));
    EXPECT_EQ(TestFiles::read(third), earlierBytes);
    const QString saved = files.path(QStringLiteral("comparacao.csv"));
    dialogs.saveAnswer = FakeDialogs::SaveChoice{saved, {}};
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_EQ(dialogs.messages.size(), 2u);
    const QString csv = QString::fromUtf8(TestFiles::read(saved));
    EXPECT_EQ(csv.count(QStringLiteral("Pendente;")), 1) << csv.toStdString();
    EXPECT_FALSE(csv.contains(QStringLiteral("DANIELA"))) << csv.toStdString();
}

// The clerk who holds the older return and chooses the newer still sees
// what changed since the older one.
TEST_F(ComparisonWindowTest, TheOlderReturnIsTheEarlierWhicheverTheGridHolds)
{
    ComparisonWindow* comparison = compare(earlier, current);
    ASSERT_NE(comparison, nullptr);
    EXPECT_EQ(comparison->findChild<QLabel*>(QStringLiteral("contagens"))->text(), kCounts);
    EXPECT_TRUE(comparison->findChild<QLabel*>(QStringLiteral("arquivos"))
                    ->text()
                    .startsWith(QStringLiteral("Atual: ") + QDir::toNativeSeparators(current)));
}

// A cut earlier return is told as the earlier one's, not as the return the
// grid holds, which the import's own words ("O Arquivo Selecionado") suggest.
TEST_F(ComparisonWindowTest, SaysWhichReturnSeemsCut)
{
    const std::string whole =
        ReturnFileGenerator::header() + worker(100000001, "ANA") + worker(100000002, "BRUNO");
    const QString cut = files.write(
        QStringLiteral("D.CNS.CPF.002.20261001093000.11222333000181.12345678909.TXT.PROCESSADO"),
        std::string_view(whole).substr(0, whole.size() - 20));
    ComparisonWindow* comparison = compare(current, cut);
    ASSERT_NE(comparison, nullptr);
    const QString warning = comparison->findChild<QLabel*>(QStringLiteral("aviso"))->text();
    EXPECT_TRUE(warning.startsWith(QStringLiteral("Anterior: ")) &&
                warning.contains(QStringLiteral("parece cortado na linha 3")))
        << warning.toStdString();
}

// A worker whose CPF was corrected is the same worker: the list tells the
// correction on the worker's line, one line as the messages are, for the
// eye and the screen reader alike, and whole in the cell's tip.
TEST(ComparisonModelTest, TellsACorrectionOnTheWorkersLine)
{
    TestFiles files;
    const std::string codes = ";0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0\r\n";
    const ReturnComparison comparison = ReturnComparison::compare(
        files.write(QStringLiteral("a.txt"), ReturnFileGenerator::header() +
                                                 "04758722587;12345678901;ANA;01011980;1" + codes),
        files.write(QStringLiteral("b.txt"), ReturnFileGenerator::header() +
                                                 "04758722578;12345678901;ANA MARIA;01011980;0" +
                                                 codes));
    ASSERT_TRUE(comparison.succeeded());
    const ComparisonModel model(comparison);
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.headerData(ComparisonModel::Changes, Qt::Horizontal).toString(),
              QStringLiteral("Correções"));
    EXPECT_EQ(model.index(0, ComparisonModel::Situation).data().toString(),
              QStringLiteral("Resolvido"));
    const QModelIndex changes = model.index(0, ComparisonModel::Changes);
    EXPECT_EQ(changes.data().toString(),
              QStringLiteral("CPF corrigido: 047.587.225-87 → 047.587.225-78; "
                             "NOME corrigido: ANA → ANA MARIA"));
    EXPECT_EQ(changes.data(Qt::ToolTipRole).toString(),
              QStringLiteral("CPF corrigido: 047.587.225-87 → 047.587.225-78\n"
                             "NOME corrigido: ANA → ANA MARIA"));
}

struct SortCase
{
    const char* name;
    int column;
    Qt::SortOrder order;
    const char* nomes; // in the order shown, "-" for the empty one
};

const SortCase kSorts[] = {
    {"FilesOrder", -1, Qt::AscendingOrder, "ALVES ÁLVARO - ALVARO BIA"},
    // Accents decide only between equal letters; no name is last both ways.
    {"NomeAToZ", ComparisonModel::Nome, Qt::AscendingOrder, "ALVARO ÁLVARO ALVES BIA -"},
    {"NomeZToA", ComparisonModel::Nome, Qt::DescendingOrder, "BIA ALVES ÁLVARO ALVARO -"},
    {"DnAsDates", ComparisonModel::Dn, Qt::AscendingOrder, "- ALVARO ÁLVARO ALVES BIA"},
    // Resolvido, Pendente, Novo problema, Sem problema, Só no anterior.
    {"SituationsInTheirOrder", ComparisonModel::Situation, Qt::AscendingOrder,
     "ÁLVARO ALVES - ALVARO BIA"},
    // The messages' text puts a check's workers together; "OK" among them.
    {"ByTheMessagesNow", ComparisonModel::Now, Qt::AscendingOrder, "ALVES - ÁLVARO ALVARO BIA"},
};

class ComparisonSortTest : public ::testing::TestWithParam<SortCase>
{
};

TEST_P(ComparisonSortTest, SortsTheWorkersListed)
{
    const SortCase& c = GetParam();
    TestFiles files;
    const std::string earlier =
        ReturnFileGenerator::header() + worker(1, "ALVES", {{6, "1"}}, "01011990") +
        worker(2, "ÁLVARO", {{9, "1"}}, "15061985") + worker(4, "ALVARO", {}, "02021985") +
        worker(5, "BIA", {}, "03031999");
    const std::string current =
        ReturnFileGenerator::header() + worker(1, "ALVES", {{6, "1"}}, "01011990") +
        worker(2, "ÁLVARO", {}, "15061985") + worker(3, "", {{7, "1"}}, "31121979") +
        worker(4, "ALVARO", {}, "02021985");
    const ReturnComparison comparison =
        ReturnComparison::compare(files.write(QStringLiteral("a.txt"), earlier),
                                  files.write(QStringLiteral("b.txt"), current));
    ASSERT_TRUE(comparison.succeeded());
    ComparisonModel model(comparison);
    model.sort(c.column, c.order);
    QStringList nomes;
    for (int row = 0; row < model.rowCount(); ++row) {
        const QString nome = model.index(row, ComparisonModel::Nome).data().toString();
        nomes.append(nome.isEmpty() ? QStringLiteral("-") : nome);
    }
    EXPECT_EQ(nomes.join(u' ').toStdString(), c.nomes);
}

INSTANTIATE_TEST_SUITE_P(Columns, ComparisonSortTest, ::testing::ValuesIn(kSorts), CaseName{});
} // namespace
