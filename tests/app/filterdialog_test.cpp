#include "app/filterdialog.h"
#include "tests/support/casename.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QListView>
#include <QTest>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A column's texts as ColumnValues lists them, most rows first.
const std::vector<ColumnValues::Value> kColumn = {
    {"OK", 1'000'000}, {"CPF CANCELADO", 1234}, {"CPF suspenso", 20}, {"JOÃO SÁ", 2},
    {"", 7},           {"ȘTEFAN", 1}, // beyond Latin-1
    {"@[Z_PIS]", 1},                  // 'Z', and the bytes beside 'A' and 'Z'
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
    // Types into the search box and presses Enter.
    void searchFor(const QString& text) const
    {
        search()->setText(text);
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
                     QStringLiteral("(vazias) (7)"), QStringLiteral("ȘTEFAN (1)"),
                     QStringLiteral("@[Z_PIS] (1)")}));
}

struct Search
{
    const char* name;
    std::vector<QString> typed; // one search after the other, each ended by Enter
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
    EXPECT_TRUE(shown.dialog.isVisible()) << "Enter in the search box closed the dialog";
}

INSTANTIATE_TEST_SUITE_P(
    FilterDialogSearches, FilterDialogSearchTest,
    ::testing::Values(
        Search{"Case", {QStringLiteral("cancelado")}, {QStringLiteral("CPF CANCELADO (1.234)")}},
        Search{"Accents", {QStringLiteral("joao")}, {QStringLiteral("JOÃO SÁ (2)")}},
        Search{"AccentsTyped", {QStringLiteral("Sá")}, {QStringLiteral("JOÃO SÁ (2)")}},
        Search{"BeyondLatin1", {QStringLiteral("stefan")}, {QStringLiteral("ȘTEFAN (1)")}},
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

struct Choice
{
    const char* name;
    std::vector<bool> before;
    QString search;
    const char* button;
    std::vector<bool> after;
};

void PrintTo(const Choice& c, std::ostream* os)
{
    *os << c.name;
}

class FilterDialogChoiceTest : public ::testing::TestWithParam<Choice>
{
};

TEST_P(FilterDialogChoiceTest, ActsOnTheListedValuesOnly)
{
    const Choice& choice = GetParam();
    const Shown shown(choice.before);
    shown.searchFor(choice.search);
    shown.click(choice.button);
    EXPECT_EQ(shown.dialog.chosen(), choice.after);
}

constexpr bool T = true;
constexpr bool F = false;

INSTANTIATE_TEST_SUITE_P(
    FilterDialogChoices, FilterDialogChoiceTest,
    ::testing::Values(
        Choice{"SelecionarTodos",
               {F, F, F, F, F, F, F},
               QStringLiteral("cpf"),
               "selecionarTodos",
               {F, T, T, F, F, F, F}},
        Choice{"Limpar",
               {T, T, T, T, T, T, T},
               QStringLiteral("cpf"),
               "limpar",
               {T, F, F, T, T, T, T}},
        Choice{"LimparAll", {T, F, T, F, T, F, T}, QString(), "limpar", {F, F, F, F, F, F, F}}),
    CaseName());

TEST(FilterDialogTest, TheBoxesInTheListAreTheResultAndOkWantsOne)
{
    const Shown shown;
    QAbstractButton* ok = shown.control("ok");

    shown.searchFor(QStringLiteral("joao"));
    shown.toggle(0);
    EXPECT_EQ(shown.dialog.chosen(), std::vector<bool>({T, T, T, F, T, T, T}));

    shown.searchFor(QString());
    shown.click("limpar");
    EXPECT_FALSE(ok->isEnabled());
    shown.toggle(1);
    EXPECT_EQ(shown.dialog.chosen(), std::vector<bool>({F, T, F, F, F, F, F}));
    EXPECT_TRUE(ok->isEnabled());

    shown.click("ok");
    EXPECT_EQ(shown.dialog.result(), QDialog::Accepted);
}

} // namespace
