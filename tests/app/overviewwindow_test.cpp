#include "app/overviewmodel.h"
#include "app/overviewwindow.h"
#include "app/verinova.h"
#include "processing/returncounts.h"
#include "sheet/grid/sheetview.h"
#include "sheet/progress.h"
#include "sheet/resultsheet.h"
#include "sheet/sheettemplate.h"
#include "tests/support/fakedialogs.h"
#include "tests/support/testfiles.h"
#include "tools/returnfilegenerator.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <semaphore>

namespace {

struct Company
{
    QString fileName;
    int workers;
    double problemShare;
};

// Two companies named the government's way, the older one with more
// problems, and a note that is no return file; in the names' order.
const Company kCompanies[] = {
    {QStringLiteral("D.CNS.CPF.002.20261130170500.11222333000181.12345678909.TXT.PROCESSADO"), 40,
     0.6},
    {QStringLiteral("D.CNS.CPF.002.20261201093000.12345678000195.98765432100.TXT.PROCESSADO"), 25,
     0.1},
    {QStringLiteral("leia-me.txt"), 0, 0},
};

class OverviewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::uint64_t seed = 7;
        for (const Company& company : kCompanies) {
            ReturnFileGenerator generator({++seed, company.problemShare});
            files_.write(company.fileName,
                         company.workers > 0
                             ? generator.file(company.workers)
                             : std::string("Pendências\r\nLigar para o contador.\r\n"));
        }
        auto dialogs = std::make_unique<FakeDialogs>();
        dialogs_ = dialogs.get();
        window_ = std::make_unique<Verinova>(std::move(dialogs));
        window_->show();
        QApplication::setActiveWindow(window_.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    }

    QString folder() const { return QFileInfo(files_.path(kCompanies[0].fileName)).absolutePath(); }

    // Opens the overview from the grid's menu key and waits for its reading.
    OverviewWindow* openOverview()
    {
        dialogs_->folderAnswer = QDir::toNativeSeparators(folder());
        auto* grid = window_->findChild<SheetView*>(QStringLiteral("F1Book1"));
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
        auto* overview = window_->findChild<OverviewWindow*>();
        if (overview) {
            EXPECT_TRUE(QTest::qWaitFor([overview] { return !overview->reading(); }, 20000));
        }
        return overview;
    }
    static QString cell(const QTableView* table, int row, int column)
    {
        return table->model()->index(row, column).data().toString();
    }

    TestFiles files_;
    FakeDialogs* dialogs_ = nullptr;
    std::unique_ptr<Verinova> window_;
};

// The menu key asks for a folder where the next file would be looked for,
// and lists each file with what its name says and its counts; the note is
// listed with why it is not counted.
TEST_F(OverviewTest, MenuKeyAsksForAFolderAndListsEveryFile)
{
    OverviewWindow* overview = openOverview();
    ASSERT_EQ(dialogs_->folders.size(), 1u);
    EXPECT_EQ(dialogs_->folders[0].title, QStringLiteral("Visão geral de uma pasta"));
    ASSERT_NE(overview, nullptr);
    auto* table = overview->findChild<QTableView*>(QStringLiteral("tabela"));
    ASSERT_EQ(table->model()->rowCount(), 3);
    const QAbstractItemModel& model = *table->model();
    ASSERT_EQ(model.columnCount(), OverviewModel::FirstCodeColumn + ReturnCounts::kColumns + 1);
    EXPECT_EQ(model.headerData(OverviewModel::FirstCodeColumn, Qt::Horizontal).toString(),
              SheetTemplate::heading(5));
    EXPECT_EQ(model.headerData(OverviewModel::Note - 1, Qt::Horizontal).toString(),
              SheetTemplate::heading(21));
    EXPECT_EQ(model.headerData(OverviewModel::Note, Qt::Horizontal).toString(),
              QStringLiteral("Observação"));

    const QString firstWhen[] = {QStringLiteral("30/11/2026 17:05"),
                                 QStringLiteral("01/12/2026 09:30"), QStringLiteral("-")};
    const QString cnpj[] = {QStringLiteral("11.222.333/0001-81"),
                            QStringLiteral("12.345.678/0001-95"), QStringLiteral("-")};
    for (int row = 0; row < 3; ++row) {
        const Company& company = kCompanies[row];
        SCOPED_TRACE(company.fileName.toStdString());
        const ReturnCounts expected = ReturnCounts::ofFile(files_.path(company.fileName));
        EXPECT_EQ(cell(table, row, OverviewModel::Cnpj), cnpj[row]);
        EXPECT_EQ(cell(table, row, OverviewModel::Date), firstWhen[row]);
        EXPECT_EQ(cell(table, row, OverviewModel::FileName), company.fileName);
        // The government's names are cut short in the window: whole in the tooltip.
        const QModelIndex name = model.index(row, OverviewModel::FileName);
        if (company.workers > 0) {
            EXPECT_LT(table->columnWidth(OverviewModel::FileName),
                      table->fontMetrics().horizontalAdvance(company.fileName));
        }
        EXPECT_EQ(name.data(Qt::ToolTipRole).toString(), company.fileName);
        if (company.workers == 0) {
            EXPECT_FALSE(expected.counted());
            EXPECT_EQ(cell(table, row, OverviewModel::Workers), expected.reason());
            for (int column = OverviewModel::WithProblems; column < model.columnCount(); ++column)
                EXPECT_EQ(cell(table, row, column), QString()) << "column " << column;
            continue;
        }
        EXPECT_EQ(cell(table, row, OverviewModel::Workers), QString::number(company.workers));
        EXPECT_EQ(cell(table, row, OverviewModel::WithProblems),
                  QString::number(expected.withProblems()));
        EXPECT_EQ(cell(table, row, OverviewModel::WithOrientation),
                  QString::number(expected.withOrientation()));
        for (int col = ReturnCounts::kFirstColumn; col <= ReturnCounts::kLastColumn; ++col)
            EXPECT_EQ(cell(table, row, OverviewModel::FirstCodeColumn + col - 5),
                      QString::number(expected.notOk(col)))
                << "return column " << col;
    }
    EXPECT_EQ(overview->findChild<QLabel*>(QStringLiteral("situacao"))->text(),
              QStringLiteral("3 arquivos, 2 de retorno."));
}

// A return still being copied is counted without its last fragment, and
// the window says so where the saved overview does, in Observação.
TEST_F(OverviewTest, ACutReturnIsToldInObservacao)
{
    files_.write(QStringLiteral("copiando.txt"), ReturnFileGenerator().file(12) + "0712");
    OverviewWindow* overview = openOverview();
    ASSERT_NE(overview, nullptr);
    auto* table = overview->findChild<QTableView*>(QStringLiteral("tabela"));
    ASSERT_EQ(table->model()->rowCount(), 4);
    int row = 0;
    while (row < 4 && cell(table, row, OverviewModel::FileName) != QStringLiteral("copiando.txt"))
        ++row;
    ASSERT_LT(row, 4);
    EXPECT_EQ(cell(table, row, OverviewModel::Workers), QStringLiteral("12"));
    const QString told = QStringLiteral(
        "O Arquivo Selecionado parece cortado na linha 14, a última: ela não tem os "
        "21 campos nem o fim de linha, e não foi carregada. Copie o arquivo de novo.");
    EXPECT_EQ(cell(table, row, OverviewModel::Note), told);
    EXPECT_EQ(table->model()->index(row, OverviewModel::Note).data(Qt::ToolTipRole).toString(),
              told);
    EXPECT_EQ(cell(table, row == 0 ? 1 : 0, OverviewModel::Note), QString());
}

// One click on a count's heading puts the companies with most of it first,
// a file with no count last; a second click turns the counted ones round.
TEST_F(OverviewTest, ClickOnACountSortsMostFirst)
{
    OverviewWindow* overview = openOverview();
    ASSERT_NE(overview, nullptr);
    auto* table = overview->findChild<QTableView*>(QStringLiteral("tabela"));
    QHeaderView* header = table->horizontalHeader();
    const auto clickHeading = [table, header](int column) {
        table->scrollTo(table->model()->index(0, column));
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                   header->height() / 2));
    };
    // By date first, so the sort by count has to move rows the other way.
    clickHeading(OverviewModel::Date);
    clickHeading(OverviewModel::Date);
    ASSERT_EQ(cell(table, 0, OverviewModel::Date), QStringLiteral("01/12/2026 09:30"));
    ASSERT_EQ(cell(table, 2, OverviewModel::Date), QStringLiteral("-"));

    clickHeading(OverviewModel::WithProblems);
    const QString most = kCompanies[0].fileName;
    EXPECT_EQ(cell(table, 0, OverviewModel::FileName), most);
    EXPECT_GT(cell(table, 0, OverviewModel::WithProblems).toInt(),
              cell(table, 1, OverviewModel::WithProblems).toInt());
    EXPECT_EQ(cell(table, 2, OverviewModel::FileName), kCompanies[2].fileName);

    clickHeading(OverviewModel::WithProblems);
    EXPECT_EQ(cell(table, 1, OverviewModel::FileName), most);
    EXPECT_EQ(cell(table, 2, OverviewModel::FileName), kCompanies[2].fileName);
}

// Enter on a row puts its file in the path box and processes it, as
// Processar would; the main window's sheet then holds that file's workers.
TEST_F(OverviewTest, EnterOpensTheFileInTheMainWindow)
{
    OverviewWindow* overview = openOverview();
    ASSERT_NE(overview, nullptr);
    auto* table = overview->findChild<QTableView*>(QStringLiteral("tabela"));
    table->setCurrentIndex(table->model()->index(1, OverviewModel::Workers));
    table->setFocus();
    QTest::keyClick(table, Qt::Key_Return);

    const QString path = files_.path(kCompanies[1].fileName);
    EXPECT_EQ(window_->findChild<QLineEdit*>(QStringLiteral("Text1"))->text(),
              QDir::toNativeSeparators(path));
    const ResultSheet& sheet = window_->findChild<SheetView*>(QStringLiteral("F1Book1"))->sheet();
    EXPECT_EQ(sheet.RowCount(), kCompanies[1].workers);
    EXPECT_TRUE(dialogs_->messages.empty());
}

// Holds the reading on its first file until the test lets it go.
class HeldReading final : public Progress
{
public:
    bool advance(int, int) override
    {
        if (!held_) {
            held_ = true;
            arrived.release();
            go.acquire();
        }
        return true;
    }

    std::binary_semaphore arrived{0};
    std::binary_semaphore go{0};

private:
    bool held_ = false;
};

// Cancelar stops the reading mid-way, and the window says the list is not
// the whole folder instead of counting it.
TEST_F(OverviewTest, CancelarStopsTheReadingAndSaysSo)
{
    HeldReading held;
    auto overview = std::make_unique<OverviewWindow>(folder(), *dialogs_, nullptr, &held);
    overview->setAttribute(Qt::WA_DeleteOnClose, false);
    overview->show();
    held.arrived.acquire();
    auto* cancel = overview->findChild<QAbstractButton*>(QStringLiteral("Cancelar"));
    ASSERT_TRUE(cancel->isVisible());
    QTest::mouseClick(cancel, Qt::LeftButton);
    held.go.release();
    ASSERT_TRUE(QTest::qWaitFor([&overview] { return !overview->reading(); }, 20000));

    auto* table = overview->findChild<QTableView*>(QStringLiteral("tabela"));
    EXPECT_LT(table->model()->rowCount(), 3);
    EXPECT_EQ(overview->findChild<QLabel*>(QStringLiteral("situacao"))->text(),
              FolderOverview::statusText(FolderOverview::Status::Cancelled) +
                  QStringLiteral(" %1 arquivos lidos.").arg(table->model()->rowCount()));
    EXPECT_FALSE(cancel->isVisible());
    EXPECT_FALSE(overview->findChild<QProgressBar*>()->isVisible());
    // A part of the folder is not offered as its overview.
    EXPECT_FALSE(overview->findChild<QAbstractButton*>(QStringLiteral("Salvar"))->isEnabled());
}

// Salvar como writes the rows in the order shown, and never over one of the
// folder's own files or any other return file.
TEST_F(OverviewTest, SavesTheRowsAsShownAndNoneOfTheFolder)
{
    OverviewWindow* overview = openOverview();
    ASSERT_NE(overview, nullptr);
    auto* table = overview->findChild<QTableView*>(QStringLiteral("tabela"));
    table->sortByColumn(OverviewModel::Date, Qt::DescendingOrder);
    auto* save = overview->findChild<QAbstractButton*>(QStringLiteral("Salvar"));
    ASSERT_TRUE(save->isEnabled());

    const QString returnFile = files_.path(kCompanies[1].fileName);
    const QByteArray returnBytes = TestFiles::read(returnFile);
    dialogs_->saveAnswer = FakeDialogs::SaveChoice{returnFile, {}};
    QTest::mouseClick(save, Qt::LeftButton);
    ASSERT_EQ(dialogs_->messages.size(), 1u);
    EXPECT_TRUE(dialogs_->messages[0].detail.contains(kCompanies[1].fileName));
    EXPECT_EQ(TestFiles::read(returnFile), returnBytes);
    // Nor over a return file of another folder, whatever its name.
    const QString elsewhere =
        files_.write(QStringLiteral("outra/anterior.csv"), returnBytes.toStdString());
    dialogs_->saveAnswer = FakeDialogs::SaveChoice{elsewhere, {}};
    QTest::mouseClick(save, Qt::LeftButton);
    ASSERT_EQ(dialogs_->messages.size(), 2u);
    EXPECT_EQ(dialogs_->messages[1].detail,
              QStringLiteral("A visão geral não foi salva: \"%1\" é um arquivo de retorno e "
                             "seria perdido. Escolha outro nome.")
                  .arg(QDir::toNativeSeparators(elsewhere)));
    EXPECT_EQ(TestFiles::read(elsewhere), returnBytes);

    const QString saved = files_.path(QStringLiteral("visao.csv"));
    dialogs_->saveAnswer = FakeDialogs::SaveChoice{saved, {}};
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_EQ(dialogs_->messages.size(), 2u);
    const QStringList lines =
        QString::fromUtf8(TestFiles::read(saved)).split(QStringLiteral("\r\n"));
    ASSERT_GE(lines.size(), 4);
    for (int row = 0; row < 3; ++row)
        EXPECT_TRUE(lines[row + 1].contains(cell(table, row, OverviewModel::FileName)))
            << lines[row + 1].toStdString();
}

} // namespace
