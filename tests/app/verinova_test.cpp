#include "app/verinova.h"
#include "processing/importcommand.h"
#include "processing/optimizecommand.h"
#include "sheet/grid/sheetview.h"
#include "sheet/resultsheet.h"
#include "tests/support/casename.h"
#include "tests/support/failingallocation.h"
#include "tests/support/fakedialogs.h"
#include "tests/support/testfiles.h"
#include "tools/returnfilegenerator.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

// One worker who passes every check, one with a bad CPF and an orientation.
std::string twoWorkers()
{
    return ReturnFileGenerator::header() +
           "11111111111;22222222222;ANA LIMA;01011980;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0\r\n"
           "33333333333;44444444444;JOÃO SÁ;02021990;0;1;0;0;0;0;0;0;0;0;0;0;0;0;0;0;2\r\n";
}

const QStringList kButtons = {QStringLiteral("Command1"), QStringLiteral("Command2"),
                              QStringLiteral("Command3"), QStringLiteral("Command4"),
                              QStringLiteral("CmdSair")};

// The window on a screen whose available area the test chooses.
class WindowOnScreen : public Verinova
{
public:
    WindowOnScreen(std::unique_ptr<WindowDialogs> dialogs, const QRect& area)
        : Verinova(std::move(dialogs)), area_(area)
    {
    }

protected:
    QRect availableArea() const override { return area_; }

private:
    QRect area_;
};

// Room for the window at its designed size, frame and all.
constexpr QRect kLargeScreen(0, 0, 1920, 1040);

class WindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto dialogs = std::make_unique<FakeDialogs>();
        dialogs_ = dialogs.get();
        window_ = std::make_unique<WindowOnScreen>(std::move(dialogs), kLargeScreen);
        window_->show();
        QApplication::setActiveWindow(window_.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    }

    template <typename T = QWidget> T* control(const QString& name) const
    {
        if (auto* found = window_->findChild<T*>(name))
            return found;
        throw std::runtime_error("no control " + name.toStdString());
    }
    QLineEdit* text1() const { return control<QLineEdit>(QStringLiteral("Text1")); }
    ResultSheet& sheet() const { return control<SheetView>(QStringLiteral("F1Book1"))->sheet(); }
    void click(const QString& button) const
    {
        QTest::mouseClick(control<QAbstractButton>(button), Qt::LeftButton);
    }
    // Types into the path box, as a user would.
    void type(const QString& path) const
    {
        text1()->clear();
        QTest::keyClicks(text1(), path);
    }
    // An item of a column's heading menu, as the grid builds it now.
    QAction* menuAction(int col, const QString& text) const
    {
        QMenu* menu = control<SheetView>(QStringLiteral("F1Book1"))->columnMenu(col);
        for (QAction* action : menu->actions()) {
            if (action->text() == text)
                return action;
        }
        throw std::runtime_error("no menu item " + text.toStdString());
    }
    void load(const std::string& contents)
    {
        type(files_.write(QStringLiteral("carregado.txt"), contents));
        click(QStringLiteral("Command2"));
    }

    TestFiles files_;
    FakeDialogs* dialogs_ = nullptr;
    std::unique_ptr<Verinova> window_;
};

// Every control at its designed place (twips at 15 a pixel) inside its
// parent; the buttons show no text or tooltip but are named for screen
// readers.
struct Placement
{
    const char* name;
    const char* parent;
    int left, top, width, height; // twips
    const char* word;
};

void PrintTo(const Placement& c, std::ostream* os)
{
    *os << c.name;
}

class PlacementTest : public WindowTest, public ::testing::WithParamInterface<Placement>
{
};

TEST_P(PlacementTest, SitsAtItsDesignedPlace)
{
    const Placement& p = GetParam();
    const QWidget* widget = control(QString::fromLatin1(p.name));
    EXPECT_EQ(widget->parentWidget()->objectName(), QString::fromLatin1(p.parent));
    EXPECT_EQ(widget->geometry(), QRect(p.left / 15, p.top / 15, p.width / 15, p.height / 15));
    EXPECT_TRUE(widget->isVisible());
    EXPECT_TRUE(widget->toolTip().isEmpty());
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        EXPECT_EQ(button->accessibleName(), QString::fromLatin1(p.word));
        EXPECT_TRUE(button->text().isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Controls, PlacementTest,
    ::testing::Values(Placement{"Frame1", "Verinova", 60, 60, 16230, 705, nullptr},
                      Placement{"Command1", "Frame1", 90, 270, 345, 315, "Selecionar arquivo"},
                      Placement{"Text1", "Frame1", 450, 270, 15630, 315, nullptr},
                      Placement{"F1Book1", "Verinova", 60, 840, 16230, 8175, nullptr},
                      Placement{"Command4", "Verinova", 60, 9090, 1305, 375, "Imprimir"},
                      Placement{"Command3", "Verinova", 1440, 9090, 1305, 375, "Otimizar"},
                      Placement{"Command2", "Verinova", 13590, 9090, 1305, 375, "Processar"},
                      Placement{"CmdSair", "Verinova", 14970, 9090, 1305, 375, "Fechar"}),
    CaseName());

TEST_F(WindowTest, OpensEmptyAtItsDesignedSizeWithItsCaptionAndFrame)
{
    EXPECT_EQ(window_->size(), QSize(16350 / 15, 9540 / 15));
    EXPECT_EQ(window_->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    // A customised border would take the maximise button away.
    EXPECT_FALSE(window_->windowFlags().testFlag(Qt::CustomizeWindowHint));

    const QString prefix = QStringLiteral("Verinova Cadastral - ");
    EXPECT_TRUE(window_->windowTitle().startsWith(prefix));
    EXPECT_GT(window_->windowTitle().size(), prefix.size()) << "no maker's notice";
    EXPECT_FALSE(window_->windowIcon().isNull());

    const auto* frame = control<QGroupBox>(QStringLiteral("Frame1"));
    EXPECT_EQ(frame->title(), QStringLiteral("Arquivo de Retorno"));
    EXPECT_TRUE(frame->font().bold());
    EXPECT_DOUBLE_EQ(frame->font().pointSizeF(), 8.25);
    EXPECT_FALSE(text1()->font().bold()) << "the caption's bold leaked into the path box";

    EXPECT_TRUE(text1()->text().isEmpty());
    EXPECT_EQ(sheet().RowCount(), 0);
    EXPECT_EQ(sheet().ColCount(), 21);
    EXPECT_EQ(QApplication::focusWidget(), text1());
    EXPECT_NE(window_->findChild<QObject*>(QStringLiteral("CommonDialog1")), nullptr);
}

// Resized, the frame and the path box stretch with the width, the sheet
// takes all the room, and the buttons keep their distances to the bottom and
// to their side (designed: 5 pixels to the bottom, Fechar 5 to the right).
TEST_F(WindowTest, ResizedTheSheetTakesTheRoomAndTheButtonsFollowTheirEdges)
{
    const QSize larger(1300, 740); // 210 wider and 104 taller than designed
    window_->resize(larger);
    ASSERT_TRUE(QTest::qWaitFor([this, larger] { return window_->size() == larger; }));

    EXPECT_EQ(control(QStringLiteral("Frame1"))->geometry(), QRect(4, 4, 1082 + 210, 47));
    EXPECT_EQ(control(QStringLiteral("Command1"))->geometry(), QRect(6, 18, 23, 21));
    EXPECT_EQ(control(QStringLiteral("Text1"))->geometry(), QRect(30, 18, 1042 + 210, 21));
    EXPECT_EQ(control(QStringLiteral("F1Book1"))->geometry(), QRect(4, 56, 1082 + 210, 545 + 104));
    EXPECT_EQ(control(QStringLiteral("Command4"))->geometry(), QRect(4, 740 - 5 - 25, 87, 25));
    EXPECT_EQ(control(QStringLiteral("Command3"))->geometry(), QRect(96, 740 - 5 - 25, 87, 25));
    EXPECT_EQ(control(QStringLiteral("Command2"))->geometry(),
              QRect(1300 - 97 - 87, 740 - 5 - 25, 87, 25));
    EXPECT_EQ(control(QStringLiteral("CmdSair"))->geometry(),
              QRect(1300 - 5 - 87, 740 - 5 - 25, 87, 25));
}

// Made as small as it goes, every control stays usable: the four buttons
// whole and apart, the path box, and a few rows and columns of the sheet.
TEST_F(WindowTest, AtItsMinimumSizeEveryControlIsUsable)
{
    window_->resize(100, 100);
    const QSize minimum = window_->minimumSize();
    ASSERT_TRUE(QTest::qWaitFor([this, minimum] { return window_->size() == minimum; }));

    const QRect client = window_->rect();
    QList<QRect> buttons;
    for (const char* name : {"Command4", "Command3", "Command2", "CmdSair"}) {
        const QRect button = control(QString::fromLatin1(name))->geometry();
        EXPECT_EQ(button.size(), QSize(87, 25)) << name;
        EXPECT_TRUE(client.contains(button)) << name;
        for (const QRect& other : buttons)
            EXPECT_FALSE(button.intersects(other)) << name;
        buttons << button;
    }
    EXPECT_GE(control(QStringLiteral("Text1"))->width(), 200);
    const auto* grid = control<SheetView>(QStringLiteral("F1Book1"));
    EXPECT_FALSE(grid->geometry().intersects(buttons.first()));
    EXPECT_GE(grid->viewport()->height(), 5 * grid->verticalHeader()->defaultSectionSize());
    EXPECT_GE(grid->columnAt(grid->viewport()->width() - 1), 2) << "fewer than three columns";
}

// On a screen too small for it, the window opens inside the available area,
// frame included, and Fechar keeps its place at the bottom right.
TEST(WindowFitTest, OpensFittedIntoASmallAvailableArea)
{
    const QRect area(100, 50, 800, 500);
    WindowOnScreen window(std::make_unique<FakeDialogs>(), area);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    EXPECT_TRUE(area.contains(window.frameGeometry())) << "opened larger than the area";
    // This platform reports no frame: room is left for the title bar a
    // window manager may still add, and no more.
    EXPECT_EQ(window.y(), area.y());
    EXPECT_GE(area.bottom() - window.geometry().bottom(), 16);
    EXPECT_LE(area.bottom() - window.geometry().bottom(), 48);
    const QRect fechar = window.findChild<QWidget*>(QStringLiteral("CmdSair"))->geometry();
    EXPECT_EQ(window.width() - fechar.right() - 1, 5);
    EXPECT_EQ(window.height() - fechar.bottom() - 1, 5);
    EXPECT_EQ(window.findChild<QWidget*>(QStringLiteral("F1Book1"))->size(),
              QSize(window.width() - 8, window.height() - 91));
}

TEST_F(WindowTest, TabVisitsTheControlsInTheirOrderAndShiftTabGoesBack)
{
    // With rows in it, a grid that walked its cells on Tab would keep the focus.
    load(twoWorkers());
    ASSERT_EQ(sheet().RowCount(), 2);
    text1()->setFocus();

    constexpr int kFocusable = 7;
    QStringList forward;
    QStringList backward;
    for (int i = 0; i < kFocusable; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        forward << QApplication::focusWidget()->objectName();
    }
    for (int i = 0; i < kFocusable; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        backward << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(forward.join(u' ').toStdString(),
              "Command1 Command2 CmdSair Command4 F1Book1 Command3 Text1");
    EXPECT_EQ(backward.join(u' ').toStdString(),
              "Command3 F1Book1 Command4 CmdSair Command2 Command1 Text1");
}

// Enter and Escape, wherever the focus is, click nothing: no command runs,
// no dialog shows and the window stays.
class QuietKeyTest : public WindowTest,
                     public ::testing::WithParamInterface<std::tuple<const char*, Qt::Key>>
{
};

TEST_P(QuietKeyTest, ClicksNoButton)
{
    const auto [name, key] = GetParam();
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (const QString& button : kButtons)
        spies.push_back(std::make_unique<QSignalSpy>(control<QAbstractButton>(button),
                                                     &QAbstractButton::clicked));
    QWidget* target = control(QString::fromLatin1(name));
    target->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), target);

    QTest::keyClick(target, key);

    for (qsizetype i = 0; i < kButtons.size(); ++i)
        EXPECT_EQ(spies[static_cast<size_t>(i)]->count(), 0) << kButtons[i].toStdString();
    EXPECT_TRUE(dialogs_->opens.empty());
    EXPECT_TRUE(dialogs_->messages.empty());
    EXPECT_TRUE(window_->isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, QuietKeyTest,
    ::testing::Combine(::testing::Values("Text1", "Command1", "Command2", "CmdSair", "Command4",
                                         "F1Book1", "Command3"),
                       ::testing::Values(Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape)),
    [](const auto& info) {
        const Qt::Key key = std::get<1>(info.param);
        return std::string(std::get<0>(info.param)) + (key == Qt::Key_Return  ? "Return"
                                                       : key == Qt::Key_Enter ? "Enter"
                                                                              : "Escape");
    });

// A command that cannot find its file says so in the "Atenção" box and
// leaves the loaded result as it was.
struct PathMessage
{
    const char* name;
    const char* button;
    const char* path; // in the test folder; null: empty box
    const char* text;
};

void PrintTo(const PathMessage& c, std::ostream* os)
{
    *os << c.name;
}

class PathMessageTest : public WindowTest, public ::testing::WithParamInterface<PathMessage>
{
};

TEST_P(PathMessageTest, ShowsTheMessageAndKeepsTheSheet)
{
    const PathMessage& c = GetParam();
    load(twoWorkers());
    ASSERT_TRUE(dialogs_->messages.empty());
    ASSERT_EQ(sheet().RowCount(), 2);
    const QString loadedName = sheet().CellText(2, 3);

    type(c.path ? files_.path(QString::fromUtf8(c.path)) : QString());
    click(QString::fromLatin1(c.button));

    ASSERT_EQ(dialogs_->messages.size(), 1u);
    EXPECT_EQ(dialogs_->messages[0].title, QStringLiteral("Atenção"));
    EXPECT_EQ(dialogs_->messages[0].detail, QString::fromUtf8(c.text));
    EXPECT_EQ(dialogs_->messages[0].parent, window_.get());
    EXPECT_EQ(sheet().RowCount(), 2);
    EXPECT_EQ(sheet().CellText(2, 3), loadedName);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, PathMessageTest,
    ::testing::Values(
        PathMessage{"ProcessarEmpty", "Command2", nullptr, "Selecione um Arquivo de Retorno"},
        PathMessage{"ProcessarMissing", "Command2", "nada.txt", "Arquivo Selecionado Não Existe"},
        PathMessage{"ProcessarFolder", "Command2", ".", "Arquivo Selecionado Não Existe"},
        PathMessage{"OtimizarEmpty", "Command3", nullptr, "Selecione um Arquivo de Retorno"},
        PathMessage{"OtimizarMissing", "Command3", "nada.txt", "Arquivo Selecionado Não Existe"}),
    CaseName());

TEST_F(WindowTest, ProcessarThenOtimizarWorkOnTheSheet)
{
    load(twoWorkers());
    EXPECT_TRUE(dialogs_->messages.empty());
    ASSERT_EQ(sheet().RowCount(), 2);
    EXPECT_EQ(sheet().CellText(2, 3), QStringLiteral("JOÃO SÁ"));
    EXPECT_EQ(sheet().CellText(1, 6), QStringLiteral("OK"));
    EXPECT_EQ(sheet().CellText(2, 6), QStringLiteral("CPF inválido"));

    // Otimizar only checks that the box names a file: it must shrink what is
    // loaded, not load the other file.
    const QString other = files_.write(
        QStringLiteral("outro.txt"),
        ReturnFileGenerator::header() +
            "55555555555;66666666666;RITA REIS;03031970;0;0;0;0;0;0;0;0;0;0;1;0;0;0;0;0;0\r\n");
    type(other);
    click(QStringLiteral("Command3"));

    ResultSheet expected;
    ASSERT_TRUE(
        ImportCommand::run(files_.path(QStringLiteral("carregado.txt")), expected).succeeded());
    ASSERT_TRUE(OptimizeCommand::run(other, expected).succeeded());
    EXPECT_TRUE(dialogs_->messages.empty());
    ASSERT_EQ(sheet().RowCount(), expected.RowCount());
    ASSERT_EQ(sheet().ColCount(), expected.ColCount());
    for (int col = 1; col <= expected.ColCount(); ++col) {
        EXPECT_EQ(sheet().IsColumnHidden(col), expected.IsColumnHidden(col)) << "column " << col;
        for (int row = 1; row <= expected.RowCount(); ++row)
            EXPECT_EQ(sheet().CellText(row, col), expected.CellText(row, col))
                << "row " << row << " column " << col;
    }
}

// Each button's key, pressed in the path box or in the grid, clicks that
// button and no other, and is what screen readers are told is its key.
struct CommandKey
{
    const char* button;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
};

class CommandKeyTest : public WindowTest,
                       public ::testing::WithParamInterface<std::tuple<const char*, CommandKey>>
{
};

TEST_P(CommandKeyTest, ClicksItsButtonWhereverTheFocusIs)
{
    const auto [focus, command] = GetParam();
    std::map<QString, std::unique_ptr<QSignalSpy>> spies;
    for (const QString& name : kButtons)
        spies[name] =
            std::make_unique<QSignalSpy>(control<QAbstractButton>(name), &QAbstractButton::clicked);
    QWidget* target = control(QString::fromLatin1(focus));
    target->setFocus();
    QTest::keyClick(target, command.key, command.modifiers);
    for (const QString& name : kButtons)
        EXPECT_EQ(spies[name]->count(), name == QString::fromLatin1(command.button) ? 1 : 0)
            << name.toStdString();

    QAccessibleInterface* button = QAccessible::queryAccessibleInterface(
        control<QAbstractButton>(QString::fromLatin1(command.button)));
    ASSERT_NE(button, nullptr);
    ASSERT_NE(button->actionInterface(), nullptr);
    const QString key =
        QKeySequence(command.modifiers | command.key).toString(QKeySequence::NativeText);
    EXPECT_EQ(
        button->actionInterface()->keyBindingsForAction(QAccessibleActionInterface::pressAction()),
        QStringList(key));
    EXPECT_EQ(button->text(QAccessible::Accelerator), key);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, CommandKeyTest,
    ::testing::Combine(::testing::Values("Text1", "F1Book1"),
                       ::testing::Values(CommandKey{"Command1", Qt::Key_O, Qt::ControlModifier},
                                         CommandKey{"Command2", Qt::Key_F5, Qt::NoModifier},
                                         CommandKey{"Command3", Qt::Key_F6, Qt::NoModifier},
                                         CommandKey{"Command4", Qt::Key_P, Qt::ControlModifier},
                                         CommandKey{"CmdSair", Qt::Key_F4, Qt::AltModifier})),
    [](const auto& info) {
        return std::string(std::get<0>(info.param)) + std::get<1>(info.param).button;
    });

// The printer button prints what the sheet holds through the print dialog,
// and leaves the first cell selected whether or not the user printed.
TEST_F(WindowTest, PrinterButtonPrintsThroughTheDialog)
{
    load(twoWorkers());
    sheet().SetSelection(2, 3, 2, 5);
    click(QStringLiteral("Command4"));
    EXPECT_EQ(dialogs_->printer->asked, 1);
    EXPECT_TRUE(dialogs_->printer->shown);
    EXPECT_TRUE(dialogs_->messages.empty());
    EXPECT_EQ(sheet().PrintRange(), (CellRange{1, 1, 2, 21}));
    EXPECT_EQ(sheet().Selection(), (CellRange{1, 1, 1, 1}));

    const QString pdf = files_.path(QStringLiteral("impresso.pdf"));
    dialogs_->printer->pdfPath = pdf;
    click(QStringLiteral("Command4"));
    EXPECT_EQ(dialogs_->printer->asked, 2);
    QFile printed(pdf);
    ASSERT_TRUE(printed.open(QIODevice::ReadOnly));
    EXPECT_TRUE(printed.read(5).startsWith("%PDF"));
    EXPECT_TRUE(dialogs_->messages.empty());
    EXPECT_EQ(sheet().Selection(), (CellRange{1, 1, 1, 1}));
    // Only a printout that starts shows progress.
    EXPECT_EQ(dialogs_->progressLog.labels,
              std::vector<QString>{QStringLiteral("Imprimindo página %1 de %2")});
}

// "Imprimir para arquivo" proposes what Salvar como does, as a PDF: the
// loaded return file's folder and name, whatever the path box says since.
TEST_F(WindowTest, PrintingToAFileProposesTheLoadedReturnFilesName)
{
    ASSERT_TRUE(dialogs_->printFileName);
    EXPECT_EQ(dialogs_->printFileName(),
              QDir(QDir::homePath()).filePath(QStringLiteral("Planilhas1.pdf")));
    type(files_.write(QStringLiteral("D.CNS.CPF.002.TXT.PROCESSADO"), twoWorkers()));
    click(QStringLiteral("Command2"));
    type(files_.write(QStringLiteral("outro.txt"), twoWorkers()));
    EXPECT_EQ(dialogs_->printFileName(), files_.path(QStringLiteral("D.CNS.CPF.002.pdf")));
}

// The grid's menu; its shortcuts but Copiar's work anywhere in the window.
TEST_F(WindowTest, SheetMenuSavesWhatTheGridShows)
{
    auto* grid = control<SheetView>(QStringLiteral("F1Book1"));
    EXPECT_EQ(grid->contextMenuPolicy(), Qt::ActionsContextMenu);
    QStringList menu;
    for (const QAction* action : grid->actions())
        menu.append(action->text() + QLatin1Char(' ') + action->shortcut().toString());
    EXPECT_EQ(menu, (QStringList{
                        QStringLiteral("Copiar Ctrl+C"), QStringLiteral("Salvar como… Ctrl+S"),
                        QStringLiteral("Localizar… Ctrl+F"), QStringLiteral("Localizar próxima F3"),
                        QStringLiteral("Visão geral de uma pasta… Ctrl+Shift+O"),
                        QStringLiteral("Comparar com o retorno anterior… Ctrl+Shift+C"),
                        QStringLiteral(" "), QStringLiteral("Mostrar todos "),
                        QStringLiteral("Congelar CPF, NIS e NOME ")}));

    load(twoWorkers());
    dialogs_->saveAnswer = {files_.path(QStringLiteral("resultado.csv")), QString()};
    // Another file named in the path box but not processed: the sheet still
    // holds the loaded one's rows, and is offered under its name.
    type(files_.write(QStringLiteral("outro.txt"), twoWorkers()));
    QTest::keyClick(text1(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(dialogs_->saves.size(), 1u);
    EXPECT_EQ(dialogs_->saves[0].title, QStringLiteral("Salvar como"));
    EXPECT_EQ(dialogs_->saves[0].detail, files_.path(QStringLiteral("carregado.xlsx")));
    EXPECT_EQ(dialogs_->saveFilters,
              (QStringList{QStringLiteral("Pasta de trabalho do Excel (*.xlsx)"),
                           QStringLiteral("CSV separado por ponto e vírgula (*.csv)"),
                           QStringLiteral("PDF (*.pdf)")}));
    QFile saved(files_.path(QStringLiteral("resultado.csv")));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains("\r\n33333333333;44444444444;JOÃO SÁ;02021990;OK;"));
    EXPECT_TRUE(dialogs_->messages.empty());

    // A failed save is told; a name without a known extension takes the
    // type chosen in the dialog.
    const QString nowhere = files_.path(QStringLiteral("nada/resultado.txt"));
    dialogs_->saveAnswer = {nowhere, QStringLiteral("PDF (*.pdf)")};
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(dialogs_->messages.size(), 1u);
    EXPECT_EQ(dialogs_->messages[0].title, QStringLiteral("Atenção"));
    EXPECT_TRUE(dialogs_->messages[0].detail.startsWith(
        QStringLiteral("Não foi possível criar o arquivo PDF \"%1\"")
            .arg(QDir::toNativeSeparators(nowhere))));
    EXPECT_EQ(dialogs_->progressLog.labels,
              (std::vector<QString>{QStringLiteral("Salvando linha %1 de %2"),
                                    QStringLiteral("Salvando página %1 de %2")}));
}

// The return file the sheet was loaded from is never lost to a save, however
// its name is spelled and whatever the path box says since; nor is any other
// return file.
TEST_F(WindowTest, SavingOverAReturnFileIsRefused)
{
    load(twoWorkers());
    text1()->clear();
    const QString folder = QFileInfo(files_.path(QStringLiteral("carregado.txt"))).path();
    QStringList spellings = {folder + QStringLiteral("/./carregado.txt")};
#ifndef _WIN32
    // A second name of the file, as a hard link or a bind mount gives one.
    const QString linked = folder + QStringLiteral("/ligado.csv");
    ASSERT_EQ(link(QFile::encodeName(spellings.front()), QFile::encodeName(linked)), 0);
    spellings.append(linked);
#endif
    auto* grid = control<SheetView>(QStringLiteral("F1Book1"));
    for (const QString& spelled : spellings) {
        dialogs_->messages.clear();
        dialogs_->saveAnswer = {spelled,
                                QStringLiteral("CSV separado por ponto e vírgula (*.csv)")};
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_S, Qt::ControlModifier);

        ASSERT_EQ(dialogs_->messages.size(), 1u) << spelled.toStdString();
        EXPECT_EQ(dialogs_->messages[0].title, QStringLiteral("Atenção"));
        EXPECT_TRUE(dialogs_->messages[0].detail.contains(
            QDir::toNativeSeparators(spelled) + QStringLiteral("\" é o arquivo de retorno")))
            << dialogs_->messages[0].detail.toStdString();
    }
    QFile returnFile(files_.path(QStringLiteral("carregado.txt")));
    ASSERT_TRUE(returnFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(returnFile.readAll().toStdString(), twoWorkers());

    // Nor is an earlier month's return beside it, whatever its name.
    const QString october = files_.write(
        QStringLiteral("D.CNS.CPF.002.20261001093000.12345678000199.12345678901.TXT.PROCESSADO"),
        twoWorkers());
    dialogs_->messages.clear();
    dialogs_->saveAnswer = {october, QStringLiteral("Pasta de trabalho do Excel (*.xlsx)")};
    QTest::keyClick(grid, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(dialogs_->messages.size(), 1u);
    EXPECT_EQ(dialogs_->messages[0].detail,
              QStringLiteral("O resultado não foi salvo: \"%1\" é um arquivo de retorno e seria "
                             "perdido. Escolha outro nome.")
                  .arg(QDir::toNativeSeparators(october)));
    EXPECT_EQ(TestFiles::read(october).toStdString(), twoWorkers());
}

TEST_F(WindowTest, LocalizarMakesTheNextHitActiveOrSaysThereIsNone)
{
    load(twoWorkers());
    auto* grid = control<SheetView>(QStringLiteral("F1Book1"));
    grid->setFocus();
    dialogs_->textAnswer = QStringLiteral("joao");
    QTest::keyClick(grid, Qt::Key_F, Qt::ControlModifier);
    ASSERT_EQ(dialogs_->questions.size(), 1u);
    EXPECT_EQ(dialogs_->questions[0].title, QStringLiteral("Localizar"));
    EXPECT_EQ(sheet().Selection(), (CellRange{2, 3, 2, 3}));

    // F3 looks for the same text again, from the hit: the only one, found
    // again after going round.
    sheet().SetSelection(1, 1, 1, 1);
    QTest::keyClick(grid, Qt::Key_F3);
    EXPECT_EQ(dialogs_->questions.size(), 1u);
    EXPECT_EQ(sheet().Selection(), (CellRange{2, 3, 2, 3}));
    EXPECT_TRUE(dialogs_->notices.empty());
    QTest::keyClick(grid, Qt::Key_F3);
    EXPECT_EQ(sheet().Selection(), (CellRange{2, 3, 2, 3}));
    EXPECT_TRUE(dialogs_->informations.empty());
    // Going round is said without a box to close.
    ASSERT_EQ(dialogs_->notices.size(), 1u);
    EXPECT_EQ(dialogs_->notices[0].detail, QStringLiteral("A busca recomeçou do início."));

    dialogs_->textAnswer = QStringLiteral("maria");
    QTest::keyClick(grid, Qt::Key_F, Qt::ControlModifier);
    ASSERT_EQ(dialogs_->informations.size(), 1u);
    EXPECT_EQ(dialogs_->informations[0].detail, QStringLiteral("Nenhuma célula contém \"maria\"."));
    EXPECT_EQ(sheet().Selection(), (CellRange{2, 3, 2, 3}));

    // With João filtered out, he is not in the rows shown, which is all the
    // search can say.
    sheet().SetColumnFilter(3, {"ANA LIMA"});
    dialogs_->textAnswer = QStringLiteral("joao");
    QTest::keyClick(grid, Qt::Key_F, Qt::ControlModifier);
    ASSERT_EQ(dialogs_->informations.size(), 2u);
    EXPECT_EQ(dialogs_->informations[1].detail,
              QStringLiteral("Nenhuma célula das linhas mostradas contém \"joao\"; o filtro oculta "
                             "1 linha."));
}

// Memory that runs out sorting, listing a column's texts or filtering ends
// the step with a message and no wait cursor left behind; the clerk's rows,
// filter and sort stay as they were. The first big allocation fails, which for 20,000 rows is the
// step's own, never the views'.
TEST_F(WindowTest, MemoryShortInASortOrAFilterIsAMessage)
{
    load(ReturnFileGenerator().file(20'000));
    auto* grid = control<SheetView>(QStringLiteral("F1Book1"));
    auto* count = control<QLabel>(QStringLiteral("contagem"));
    grid->sheet().SortRows(1, RowSort::Direction::Descending);
    grid->sheet().SetColumnFilter(5, {"OK"});
    auto state = [this, count] {
        std::vector<int> shown;
        for (int position = 1; position <= sheet().ShownRowCount(); ++position)
            shown.push_back(sheet().ShownRow(position));
        return std::tuple(shown, sheet().Filter().columns(), sheet().SortColumn(),
                          sheet().SortDirection(), count->text());
    };
    const auto before = state();
    const int asked = static_cast<int>(dialogs_->textsAsked.size());

    const struct
    {
        int col;
        QString item;
        bool listed; // whether the filter list was offered before memory ran out
        QString message;
    } steps[] = {
        {3, QStringLiteral("Classificar A→Z"), false,
         QStringLiteral("Memória insuficiente para classificar as linhas.")},
        {1, QStringLiteral("Ordem do arquivo"), false,
         QStringLiteral("Memória insuficiente para classificar as linhas.")},
        {3, QStringLiteral("Filtrar…"), false,
         QStringLiteral("Memória insuficiente para filtrar as linhas pela coluna NOME.")},
        {6, QStringLiteral("Filtrar…"), true,
         QStringLiteral("Memória insuficiente para filtrar as linhas pela coluna COD_CPF_INV.")},
    };
    dialogs_->textsAnswer = std::set<std::string>{"OK"};
    int listed = asked;
    for (const auto& step : steps) {
        const std::size_t told = dialogs_->messages.size();
        QAction* action = menuAction(step.col, step.item);
        {
            const FailingAllocation failing(0, 64 << 10);
            action->trigger();
            EXPECT_TRUE(failing.failed()) << step.item.toStdString();
        }
        ASSERT_EQ(dialogs_->messages.size(), told + 1) << step.item.toStdString();
        EXPECT_EQ(dialogs_->messages.back().title, QStringLiteral("Atenção"));
        EXPECT_EQ(dialogs_->messages.back().detail, step.message);
        EXPECT_EQ(dialogs_->textsAsked.size(), std::size_t(listed += step.listed));
        EXPECT_TRUE(state() == before) << step.item.toStdString();
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << step.item.toStdString();
    }
}

// The grid as a worklist: a column's filter chosen from its texts and
// counts, the rows sorted, the count under the grid, copy and Localizar on
// what is shown; Otimizar first clears the filter, so it sees every row.
TEST_F(WindowTest, FilterSortAndCountMakeAWorklist)
{
    load(ReturnFileGenerator::header() +
         "11111111111;22222222222;ANA LIMA;01011980;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0\r\n"
         "33333333333;44444444444;JOÃO SÁ;02021990;0;1;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0\r\n"
         "55555555555;66666666666;BIA COSTA;03031970;0;1;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0\r\n"
         "77777777777;88888888888;CAIO DIAS;04041960;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0\r\n");
    auto* grid = control<SheetView>(QStringLiteral("F1Book1"));
    auto* count = control<QLabel>(QStringLiteral("contagem"));
    EXPECT_EQ(count->text(), QStringLiteral("4 trabalhadores"));
    EXPECT_TRUE(count->isVisible());

    dialogs_->textsAnswer = std::set<std::string>{"CPF inválido"};
    menuAction(6, QStringLiteral("Filtrar…"))->trigger();
    ASSERT_EQ(dialogs_->textsAsked.size(), 1u);
    EXPECT_EQ(dialogs_->textsAsked[0].heading, QStringLiteral("COD_CPF_INV"));
    const std::vector<std::pair<std::string, int>> offered = {{"CPF inválido", 2}, {"OK", 2}};
    EXPECT_EQ(dialogs_->textsAsked[0].values, offered);
    EXPECT_EQ(dialogs_->textsAsked[0].chosen, std::vector<bool>({true, true}));
    EXPECT_EQ(count->text(), QStringLiteral("2 de 4"));
    menuAction(3, QStringLiteral("Classificar Z→A"))->trigger();
    EXPECT_EQ(sheet().SortColumn(), 3);

    // The list offered again shows what is chosen.
    dialogs_->textsAnswer.reset();
    menuAction(6, QStringLiteral("Filtrar…"))->trigger();
    EXPECT_EQ(dialogs_->textsAsked[1].chosen, std::vector<bool>({true, false}));

    sheet().SetSelection(1, 3, 2, 3);
    grid->copySelection();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("JOÃO SÁ\nBIA COSTA\n"));
    dialogs_->textAnswer = QStringLiteral("ana");
    QTest::keyClick(grid, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(dialogs_->informations.size(), 1u);
    dialogs_->textAnswer = QStringLiteral("costa");
    QTest::keyClick(grid, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(sheet().Selection(), (CellRange{2, 3, 2, 3}));

    // A Processar that reads nothing, or refuses what it reads, leaves the
    // worklist as the clerk had it; only a load replaces it.
    for (const QString& path :
         {QString(), files_.path(QStringLiteral("nenhum.txt")),
          files_.write(QStringLiteral("lista.txt"), "Lista de compras\narroz\nfeijão\n")}) {
        type(path);
        click(QStringLiteral("Command2"));
        EXPECT_EQ(count->text(), QStringLiteral("2 de 4")) << path.toStdString();
        EXPECT_EQ(sheet().SortColumn(), 3) << path.toStdString();
    }
    EXPECT_EQ(dialogs_->messages.size(), 3u);

    // The filter goes before Otimizar runs, even when it then stops at a
    // path box that names no file.
    type(files_.path(QStringLiteral("nenhum.txt")));
    click(QStringLiteral("Command3"));
    EXPECT_EQ(dialogs_->messages.size(), 4u);
    EXPECT_TRUE(sheet().Filter().isEmpty());
    EXPECT_EQ(count->text(), QStringLiteral("4 trabalhadores"));
    EXPECT_EQ(sheet().SortColumn(), 3);

    sheet().SetColumnFilter(6, {"CPF inválido"});
    type(files_.path(QStringLiteral("carregado.txt")));
    click(QStringLiteral("Command3"));
    EXPECT_TRUE(sheet().Filter().isEmpty());
    EXPECT_EQ(sheet().RowCount(), 2);
    EXPECT_EQ(count->text(), QStringLiteral("2 trabalhadores com problemas"));
    click(QStringLiteral("Command2"));
    EXPECT_EQ(count->text(), QStringLiteral("4 trabalhadores"));
}

// The folder button: whatever the dialog gives back, the box takes only a
// full path to an existing file, cut before any ";"; the focus always ends in
// the sheet.
struct Choice
{
    const char* name;
    std::vector<const char*> existing; // files made in the test folder
    const char* answer;                // in the test folder; null: cancelled
    const char* expected;              // in the test folder; null: box unchanged
    bool bareName = false;             // the dialog answers a name without folder
};

void PrintTo(const Choice& c, std::ostream* os)
{
    *os << c.name;
}

class ChoiceTest : public WindowTest, public ::testing::WithParamInterface<Choice>
{
};

TEST_P(ChoiceTest, PutsOnlyAnExistingFileIntoTheBox)
{
    const Choice& c = GetParam();
    for (const char* name : c.existing)
        files_.write(QString::fromUtf8(name), twoWorkers());
    const auto inFolder = [this](const char* name) {
        return QDir::toNativeSeparators(files_.path(QString::fromUtf8(name)));
    };
    if (c.answer)
        dialogs_->answer = c.bareName ? QString::fromUtf8(c.answer) : inFolder(c.answer);
    const QString typed = QStringLiteral("digitado a mao");
    type(typed);

    click(QStringLiteral("Command1"));

    ASSERT_EQ(dialogs_->opens.size(), 1u);
    EXPECT_EQ(dialogs_->opens[0].title, QStringLiteral("Verinova Cadastral"));
    EXPECT_EQ(dialogs_->opens[0].parent, window_.get());
#ifdef Q_OS_WIN
    EXPECT_EQ(dialogs_->opens[0].detail, QStringLiteral("C:\\"));
#else
    EXPECT_EQ(dialogs_->opens[0].detail, QDir::homePath());
#endif
    EXPECT_EQ(text1()->text(), c.expected ? inFolder(c.expected) : typed);
    EXPECT_EQ(QApplication::focusWidget(), control(QStringLiteral("F1Book1")));
    EXPECT_TRUE(dialogs_->messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ChoiceTest,
    ::testing::Values(
        Choice{"Chosen",
               {"D.CNS.CPF.002.TXT.PROCESSADO"},
               "D.CNS.CPF.002.TXT.PROCESSADO",
               "D.CNS.CPF.002.TXT.PROCESSADO"},
        Choice{"Cancelled", {"retorno.txt"}, nullptr, nullptr},
        Choice{"SemicolonCutToAFile", {"retorno", "retorno;2.txt"}, "retorno;2.txt", "retorno"},
        Choice{"SemicolonCutToNothing", {"retorno;2.txt"}, "retorno;2.txt", nullptr},
        Choice{"MissingFile", {}, "sumiu.txt", nullptr}, Choice{"Folder", {}, "", nullptr},
        Choice{"BareName", {}, "retorno.txt", nullptr, true}),
    CaseName());

// Once a return file is loaded the open dialog starts beside it, whatever
// the path box says since: never in the program's working folder.
TEST_F(WindowTest, OpenDialogStartsBesideTheLoadedReturnFile)
{
    load(twoWorkers());
    type(QStringLiteral("outro.txt"));
    click(QStringLiteral("Command1"));
    ASSERT_EQ(dialogs_->opens.size(), 1u);
    EXPECT_EQ(dialogs_->opens[0].detail,
              QDir::toNativeSeparators(
                  QFileInfo(files_.path(QStringLiteral("carregado.txt"))).absolutePath()));
}

TEST_F(WindowTest, FecharEndsTheProgram)
{
    bool timedOut = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&timedOut] {
        timedOut = true;
        QApplication::exit(1);
    });
    guard.start(5000);
    QTimer::singleShot(0, window_.get(), [this] { click(QStringLiteral("CmdSair")); });

    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(timedOut);
    EXPECT_FALSE(window_->isVisible());
}

} // namespace

class NarrowWindowTest : public WindowTest, public ::testing::WithParamInterface<int>
{
};

// After Otimizar, stepping across, each check column comes to the edge of
// the scrolled part (the frozen CPF, NIS and NOME when there is room for
// them) and shows there whole, unless wider than that room: in the designed
// window, in one 900 px wide at 125 %, in half of a 1366 px screen (at 100 %
// and at 125 %) and at the minimum size. The freeze holds down to the 900 px
// window, and gives way in half the screen at 125 %.
TEST_P(NarrowWindowTest, EveryCheckColumnShowsWhole)
{
    load(ReturnFileGenerator().sample(40));
    click(QStringLiteral("Command3"));
    ASSERT_TRUE(dialogs_->messages.empty());
    ASSERT_GT(sheet().RowCount(), 0);
    const int width = GetParam() > 0 ? GetParam() : window_->minimumSize().width();
    window_->resize(width, window_->height());
    ASSERT_TRUE(QTest::qWaitFor([this, width] { return window_->width() == width; }));

    auto* grid = control<SheetView>(QStringLiteral("F1Book1"));
    const auto* frozen = grid->findChild<QWidget*>(QStringLiteral("frozenColumns"));
    if (GetParam() >= 720) {
        EXPECT_TRUE(frozen->isVisible()) << "the freeze lifted in a window a clerk works in";
    }
    if (GetParam() == 546) {
        EXPECT_FALSE(frozen->isVisible()) << "the freeze kept in half the screen at 125 %";
    }
    const int edge = frozen->isVisible() ? frozen->width() - 1 : 0;
    const int view = grid->viewport()->width();
    QScrollBar* across = grid->horizontalScrollBar();
    std::set<int> seenWhole;
    for (int step = 0; step <= across->maximum(); ++step) {
        across->setValue(step);
        const int col = grid->columnAt(edge) + 1;
        const int left = grid->columnViewportPosition(col - 1);
        if (col >= 5 && col <= 19 && left == edge && left + grid->columnWidth(col - 1) <= view)
            seenWhole.insert(col);
    }
    for (int col = 5; col <= 19; ++col)
        EXPECT_TRUE(grid->isColumnHidden(col - 1) || seenWhole.count(col) ||
                    grid->columnWidth(col - 1) > view - edge)
            << "column " << col;
}

INSTANTIATE_TEST_SUITE_P(Widths, NarrowWindowTest, ::testing::Values(1090, 720, 683, 546, 0));
