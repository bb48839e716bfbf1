#include "app/filterdialog.h"
#include "app/filtervaluesmodel.h"
#include "tests/support/casename.h"
#include "tests/support/failingallocation.h"
#include "tests/support/screenreader.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QCoreApplication>
#include <QLineEdit>
#include <QListView>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

// A column's texts as ColumnValues lists them, most rows first.
const std::vector<ColumnValues::Value> kColumn = {
    {"OK", 1'000'000}, {"CPF CANCELADO", 1234}, {"CPF suspenso", 20}, {"JOÃO SÁ", 2},
    {"", 7},           {"ȘTEFAN ØRSTED", 1}, // beyond Latin-1
    {"@[Z_PIS]", 1},                         // 'Z', and the bytes beside 'A' and 'Z'
};

class Shown
{
public:
    explicit Shown(std::vector<bool> chosen = std::vector<bool>(kColumn.size(), true))
        : dialog(QStringLiteral("COD_CPF_CANCELADO"), kColumn, std::move(chosen))
    {
        dialog.show();
        if (!QTest::qWaitForWindowExposed(&dialog))
            throw std::runtime_error("dialog not shown");
    }

    template <typename T = QAbstractButton> T* control(const char* name) const
    {
        if (auto* found = dialog.findChild<T*>(QString::fromLatin1(name)))
            return found;
        throw std::runtime_error(std::string("no control ") + name);
    }
    QLineEdit* search() const { return control<QLineEdit>("pesquisa"); }
    QListView* list() const { return control<QListView>("valores"); }
    void click(const char* button) const { QTest::mouseClick(control(button), Qt::LeftButton); }
    // Puts a search into the box and waits until the list shows it.
    void searchFor(const QString& text) const
    {
        QSignalSpy listed(list()->model(), &QAbstractItemModel::modelReset);
        search()->setText(text);
        if (!listed.wait(5000))
            throw std::runtime_error("the list never showed the search");
    }
    // Types and presses Enter at once, before the list follows.
    void typeAndEnter(const QString& text) const
    {
        QTest::keyClicks(search(), text);
        QTest::keyClick(search(), Qt::Key_Return);
    }
    // Space on a listed row toggles its box, as the view hands it to the
    // model.
    void toggle(int row) const
    {
        list()->setCurrentIndex(list()->model()->index(row, 0));
        QTest::keyClick(list(), Qt::Key_Space);
    }
    QStringList listed() const
    {
        QStringList texts;
        const QAbstractItemModel& model = *list()->model();
        for (int row = 0; row < model.rowCount(); ++row)
            texts << model.index(row, 0).data().toString();
        return texts;
    }

    FilterDialog dialog;
};

TEST(FilterDialogTest, NamesTheColumnAndCountsRowsTheBrazilianWay)
{
    const Shown shown;
    EXPECT_EQ(shown.dialog.windowTitle(), QStringLiteral("Filtrar – COD_CPF_CANCELADO"));
    EXPECT_EQ(
        shown.listed(),
        QStringList({QStringLiteral("OK (1.000.000)"), QStringLiteral("CPF CANCELADO (1.234)"),
                     QStringLiteral("CPF suspenso (20)"), QStringLiteral("JOÃO SÁ (2)"),
                     QStringLiteral("(vazias) (7)"), QStringLiteral("ȘTEFAN ØRSTED (1)"),
                     QStringLiteral("@[Z_PIS] (1)")}));
}

struct Search
{
    const char* name;
    std::vector<QString> typed; // one search after the other, each listed
    QStringList listed;
};

void PrintTo(const Search& c, std::ostream* os)
{
    *os << c.name;
}

class FilterDialogSearchTest : public ::testing::TestWithParam<Search>
{
};

TEST_P(FilterDialogSearchTest, ListsTheTextsThatHoldItCaseAndAccentsAside)
{
    const Search& search = GetParam();
    const Shown shown;
    for (const QString& text : search.typed)
        shown.searchFor(text);
    EXPECT_EQ(shown.listed(), search.listed);
}

INSTANTIATE_TEST_SUITE_P(
    FilterDialogSearches, FilterDialogSearchTest,
    ::testing::Values(
        Search{"Case", {QStringLiteral("cancelado")}, {QStringLiteral("CPF CANCELADO (1.234)")}},
        Search{"Accents", {QStringLiteral("joao")}, {QStringLiteral("JOÃO SÁ (2)")}},
        Search{"AccentsTyped", {QStringLiteral("Sá")}, {QStringLiteral("JOÃO SÁ (2)")}},
        Search{"BeyondLatin1", {QStringLiteral("stefan")}, {QStringLiteral("ȘTEFAN ØRSTED (1)")}},
        Search{"LetterWrittenWithoutItsStroke",
               {QStringLiteral("orsted")},
               {QStringLiteral("ȘTEFAN ØRSTED (1)")}},
        Search{"AsciiBounds", {QStringLiteral("@[z_pis]")}, {QStringLiteral("@[Z_PIS] (1)")}},
        Search{"EmptyTextByItsLabel", {QStringLiteral("vazias")}, {QStringLiteral("(vazias) (7)")}},
        Search{"Narrowed",
               {QStringLiteral("c"), QStringLiteral("cpf"), QStringLiteral("cpf s")},
               {QStringLiteral("CPF suspenso (20)")}},
        Search{"Widened",
               {QStringLiteral("cpf c"), QStringLiteral("cpf")},
               {QStringLiteral("CPF CANCELADO (1.234)"), QStringLiteral("CPF suspenso (20)")}},
        Search{"Nothing", {QStringLiteral("xyz")}, {}}),
    CaseName());

TEST(FilterDialogTest, TypingListsWithoutEnter)
{
    const Shown shown;
    QTest::keyClicks(shown.search(), QStringLiteral("joao"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown.list()->model()->rowCount() == 1; }));
}

// A search over a million texts may find memory short: the list then stays
// what it was, and the same search typed again lists as it should.
TEST(FilterDialogTest, ASearchShortOfMemoryLeavesTheListAsItWas)
{
    const Shown shown;
    shown.searchFor(QStringLiteral("cpf"));
    auto* model = qobject_cast<FilterValuesModel*>(shown.list()->model());
    ASSERT_NE(model, nullptr);
    const QStringList before = shown.listed();
    int failures = 0;
    for (long n = 0;; ++n) {
        bool threw = false;
        bool failed = false;
        {
            const FailingAllocation failing(n);
            try {
                model->listMatching(QStringLiteral("joao"));
            } catch (const std::bad_alloc&) {
                threw = true;
            }
            failed = failing.failed();
        }
        ASSERT_EQ(threw, failed) << "allocation " << n;
        if (!threw)
            break;
        ++failures;
        ASSERT_EQ(shown.listed(), before) << "allocation " << n;
    }
    EXPECT_GT(failures, 0);
    EXPECT_EQ(shown.listed(), QStringList{QStringLiteral("JOÃO SÁ (2)")});
}

constexpr bool T = true;
constexpr bool F = false;

// What the user does in the dialog, and what OK then lets through.
struct Filtering
{
    const char* name;
    std::vector<bool> before;
    std::function<void(const Shown&)> choose; // ends with OK or Enter
    std::vector<bool> after;                  // empty: the dialog stays open
};

void PrintTo(const Filtering& c, std::ostream* os)
{
    *os << c.name;
}

class FilterDialogFilteringTest : public ::testing::TestWithParam<Filtering>
{
};

// As in a spreadsheet: with a search typed, OK shows the texts it found and
// left ticked, whatever was chosen before.
TEST_P(FilterDialogFilteringTest, OkShowsWhatTheListTicks)
{
    const Filtering& c = GetParam();
    const Shown shown(c.before);
    c.choose(shown);
    if (c.after.empty()) {
        EXPECT_TRUE(shown.dialog.isVisible());
        EXPECT_FALSE(shown.control("ok")->isEnabled());
        return;
    }
    EXPECT_EQ(shown.dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(shown.dialog.isVisible());
    EXPECT_EQ(shown.dialog.chosen(), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    FilterDialogFilterings, FilterDialogFilteringTest,
    ::testing::Values(Filtering{"SearchAndOk",
                                std::vector<bool>(7, T),
                                [](const Shown& s) {
                                    s.searchFor(QStringLiteral("cancelado"));
                                    s.click("ok");
                                },
                                {F, T, F, F, F, F, F}},
                      Filtering{"EnterRightAfterTyping",
                                std::vector<bool>(7, T),
                                [](const Shown& s) { s.typeAndEnter(QStringLiteral("cancelado")); },
                                {F, T, F, F, F, F, F}},
                      Filtering{"FoundAreTickedOverAFilter",
                                {T, F, F, F, F, F, F},
                                [](const Shown& s) { s.typeAndEnter(QStringLiteral("cpf")); },
                                {F, T, T, F, F, F, F}},
                      Filtering{"UntickedLeftOut",
                                std::vector<bool>(7, T),
                                [](const Shown& s) {
                                    s.searchFor(QStringLiteral("cpf"));
                                    s.toggle(1);
                                    s.click("ok");
                                },
                                {F, T, F, F, F, F, F}},
                      Filtering{"LimparAndSelecionarTodosOnWhatIsFound",
                                {F, F, F, F, F, F, F},
                                [](const Shown& s) {
                                    s.searchFor(QStringLiteral("cpf"));
                                    s.click("limpar");
                                    s.toggle(0);
                                    s.typeAndEnter(QString());
                                },
                                {F, T, F, F, F, F, F}},
                      Filtering{"SelecionarTodosOnWhatIsFound",
                                {F, F, F, F, F, F, F},
                                [](const Shown& s) {
                                    s.searchFor(QStringLiteral("cpf"));
                                    s.click("limpar");
                                    s.click("selecionarTodos");
                                    s.click("ok");
                                },
                                {F, T, T, F, F, F, F}},
                      Filtering{"SearchEmptiedGivesTheBoxesBack",
                                {T, F, T, F, T, F, T},
                                [](const Shown& s) {
                                    s.searchFor(QStringLiteral("cpf"));
                                    s.searchFor(QString());
                                    s.click("ok");
                                },
                                {T, F, T, F, T, F, T}},
                      Filtering{"NothingFoundStaysOpen",
                                std::vector<bool>(7, T),
                                [](const Shown& s) { s.typeAndEnter(QStringLiteral("xyz")); },
                                {}}),
    CaseName());

TEST(FilterDialogTest, TheBoxesInTheListAreTheResultAndOkWantsOne)
{
    const Shown shown;
    QAbstractButton* ok = shown.control("ok");

    shown.toggle(3);
    EXPECT_EQ(shown.dialog.chosen(), std::vector<bool>({T, T, T, F, T, T, T}));

    shown.click("limpar");
    EXPECT_FALSE(ok->isEnabled());
    shown.toggle(1);
    EXPECT_EQ(shown.dialog.chosen(), std::vector<bool>({F, T, F, F, F, F, F}));
    EXPECT_TRUE(ok->isEnabled());

    shown.click("ok");
    EXPECT_EQ(shown.dialog.result(), QDialog::Accepted);
}

// What a screen reader is told of the list: each text is a check box,
// ticked or not, in the list (a reader that is never told a list item can
// be ticked still says a check box's state), and the search box and the
// list say what they are for.
TEST(FilterDialogAccessibleTest, EveryTextIsANamedBoxInANamedList)
{
    const std::vector<bool> chosen = {T, F, T, F, F, T, F};
    const Shown shown(chosen);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(shown.search())->text(QAccessible::Name),
              QStringLiteral("Pesquisar valores"));
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(shown.list());
    EXPECT_EQ(list->text(QAccessible::Name), QStringLiteral("Valores de COD_CPF_CANCELADO"));
    ASSERT_EQ(list->childCount(), static_cast<int>(kColumn.size()));
    for (std::size_t row = 0; row < kColumn.size(); ++row) {
        QAccessibleInterface* item = list->child(static_cast<int>(row));
        EXPECT_EQ(item->text(QAccessible::Name), FilterValuesModel::label(kColumn[row]));
        EXPECT_EQ(item->role(), QAccessible::CheckBox) << row;
        EXPECT_EQ(item->parent(), list) << row;
        EXPECT_EQ(list->indexOfChild(item), static_cast<int>(row));
        EXPECT_TRUE(item->state().checkable) << row;
        EXPECT_EQ(item->state().checked, chosen[row]) << row;
    }
}

// Tabbing into the list, a reader hears last of the box the keys act on,
// focused, not of the list alone.
TEST(FilterDialogAccessibleTest, TabbingIntoTheListTellsTheCurrentBox)
{
    const Shown shown;
    shown.search()->setFocus();
    QCoreApplication::processEvents();
    std::vector<std::pair<QAccessible::Role, QString>> focused;
    const ScreenReader reader([&focused](QAccessibleEvent* event) {
        QAccessibleInterface* told = event->accessibleInterface();
        if (event->type() == QAccessible::Focus && told && told->state().focused)
            focused.emplace_back(told->role(), told->text(QAccessible::Name));
    });
    QTest::keyClick(shown.search(), Qt::Key_Tab);
    QCoreApplication::processEvents();
    ASSERT_TRUE(shown.list()->hasFocus());
    ASSERT_FALSE(focused.empty());
    EXPECT_EQ(focused.back().first, QAccessible::CheckBox);
    EXPECT_EQ(focused.back().second.toStdString(),
              shown.list()->currentIndex().data().toString().toStdString());
}

struct Toggling
{
    const char* name;
    std::function<void(const Shown&)> act;
    std::vector<int> told; // the rows a screen reader hears of, in order
};

void PrintTo(const Toggling& c, std::ostream* os)
{
    *os << c.name;
}

class FilterDialogTogglingTest : public ::testing::TestWithParam<Toggling>
{
};

// A reader hears of every box that changes, named, with its new state, and
// of no box that stays as it was.
TEST_P(FilterDialogTogglingTest, AScreenReaderHearsOfTheBoxesThatChange)
{
    const Toggling& c = GetParam();
    const Shown shown({T, F, T, F, F, T, F});
    struct Heard
    {
        int row;
        QString name;
        bool checked;
    };
    std::vector<Heard> heard;
    const ScreenReader reader([&heard](QAccessibleEvent* event) {
        if (event->type() != QAccessible::StateChanged ||
            !static_cast<QAccessibleStateChangeEvent*>(event)->changedStates().checked)
            return;
        QAccessibleInterface* item = event->accessibleInterface();
        heard.push_back({event->child(), item ? item->text(QAccessible::Name) : QString(),
                         item && item->state().checked});
    });
    c.act(shown);

    ASSERT_EQ(heard.size(), c.told.size());
    for (std::size_t i = 0; i < heard.size(); ++i) {
        const QModelIndex row = shown.list()->model()->index(c.told[i], 0);
        EXPECT_EQ(heard[i].row, c.told[i]);
        EXPECT_EQ(heard[i].name, row.data().toString());
        EXPECT_EQ(heard[i].checked, row.data(Qt::CheckStateRole).toInt() == Qt::Checked)
            << c.told[i];
    }
}

INSTANTIATE_TEST_SUITE_P(
    FilterDialogTogglings, FilterDialogTogglingTest,
    ::testing::Values(Toggling{"SpaceTicks", [](const Shown& s) { s.toggle(3); }, {3}},
                      Toggling{"SpaceUnticks", [](const Shown& s) { s.toggle(2); }, {2}},
                      Toggling{"Limpar", [](const Shown& s) { s.click("limpar"); }, {0, 2, 5}},
                      Toggling{"SelecionarTodos",
                               [](const Shown& s) { s.click("selecionarTodos"); },
                               {1, 3, 4, 6}},
                      // The one box found changes once, and is heard of once.
                      Toggling{"LimparTheOneFound",
                               [](const Shown& s) {
                                   s.searchFor(QStringLiteral("joao"));
                                   s.click("limpar");
                               },
                               {0}}),
    CaseName());

// Also run at 200 %, where the offscreen screen has less height than the
// list asks for.
TEST(FilterDialogScreenTest, OpensWithinTheScreenWithItsButtonsOnIt)
{
    const Shown shown;
    const QRect area = shown.dialog.screen()->availableGeometry();
    EXPECT_TRUE(area.contains(shown.dialog.frameGeometry()))
        << "dialog " << shown.dialog.frameGeometry().height() << " px high on " << area.height();
    for (const char* name : {"ok", "cancelar"}) {
        const QAbstractButton* button = shown.control(name);
        EXPECT_TRUE(button->isVisible()) << name;
        EXPECT_TRUE(area.contains(QRect(button->mapToGlobal(QPoint(0, 0)), button->size())))
            << name;
    }
}

} // namespace
