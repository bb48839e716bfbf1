#include "sheet/resultsheet.h"
#include "tests/support/casename.h"
#include "tests/support/failingallocation.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <map>
#include <new>
#include <set>
#include <string>
#include <vector>

namespace {
QString mark(int row, int col)
{
    return QStringLiteral("%1:%2").arg(row).arg(col);
}

// Rows 1 to `rows`, every cell holding its own address, column 22 included.
void fill(ResultSheet& sheet, int rows)
{
    for (int r = 1; r <= rows; ++r) {
        for (int c = 1; c <= 22; ++c)
            sheet.SetCellText(r, c, mark(r, c));
    }
    sheet.SetRowCount(rows);
}

std::vector<QString> column(const ResultSheet& sheet, int col, int rows)
{
    std::vector<QString> cells;
    for (int r = 1; r <= rows; ++r)
        cells.push_back(sheet.CellText(r, col));
    return cells;
}

// Every signal the sheet sends, counted.
struct Signals
{
    explicit Signals(ResultSheet& sheet)
        : aboutToReset(&sheet, &ResultSheet::sheetAboutToBeReset),
          reset(&sheet, &ResultSheet::sheetReset), cell(&sheet, &ResultSheet::cellChanged),
          hidden(&sheet, &ResultSheet::columnsHiddenChanged),
          selection(&sheet, &ResultSheet::selectionChanged),
          active(&sheet, &ResultSheet::activeCellChanged)
    {
    }
    qsizetype total() const
    {
        return aboutToReset.count() + reset.count() + cell.count() + hidden.count() +
               selection.count() + active.count();
    }
    QSignalSpy aboutToReset, reset, cell, hidden, selection, active;
};

TEST(ResultSheet, EmptyCellsAndCellsPastTheRowsReadEmpty)
{
    ResultSheet sheet;
    EXPECT_EQ(sheet.RowCount(), 0);
    EXPECT_EQ(sheet.ColCount(), 21);
    EXPECT_TRUE(sheet.CellText(1, 1).isEmpty());
    fill(sheet, 2);
    sheet.SetCellText(1, 5, QString());
    for (const auto& [row, col] : std::vector<std::pair<int, int>>{
             {1, 5}, {3, 1}, {0, 1}, {1, 0}, {-1, -1}, {1, 23}, {1, 2000}})
        EXPECT_TRUE(sheet.CellText(row, col).isEmpty()) << row << ',' << col;
    EXPECT_EQ(sheet.CellText(2, 22), mark(2, 22));
    EXPECT_EQ(sheet.CellUtf8(2, 22), "2:22");
}

// Rows are written before the row count is set, and a shorter count cuts
// what lies past it for good.
TEST(ResultSheet, RowCountMakesTheWrittenRowsTheSheet)
{
    ResultSheet sheet;
    sheet.SetCellText(3, 2, QStringLiteral("ção"));
    EXPECT_TRUE(sheet.CellText(3, 2).isEmpty());
    sheet.SetRowCount(3);
    EXPECT_EQ(sheet.CellText(3, 2), QStringLiteral("ção"));
    fill(sheet, 5);
    sheet.SetRowCount(2);
    sheet.SetRowCount(5);
    EXPECT_EQ(column(sheet, 22, 5), (std::vector<QString>{mark(1, 22), mark(2, 22), {}, {}, {}}));
    EXPECT_TRUE(sheet.SetRowCount(-4));
    EXPECT_EQ(sheet.RowCount(), 0);
}

struct ColCase
{
    const char* name;
    std::function<void(ResultSheet&)> change;
    int colCount;
    int resets;
};

class ColCount : public ::testing::TestWithParam<ColCase>
{
};

TEST_P(ColCount, IsTwentyOneOrTheWidestRowUpTo1024)
{
    ResultSheet sheet;
    Signals spy(sheet);
    GetParam().change(sheet);
    EXPECT_EQ(sheet.ColCount(), GetParam().colCount);
    // Views hear of a new width as a reset, never as a cell change.
    EXPECT_EQ(spy.reset.count(), GetParam().resets);
    EXPECT_EQ(spy.cell.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ColCount,
    ::testing::Values(
        ColCase{"Template", [](ResultSheet&) {}, 21, 0},
        ColCase{"WiderCell", [](ResultSheet& s) { s.SetCellText(1, 40, QStringLiteral("x")); }, 40,
                1},
        ColCase{"LastColumn", [](ResultSheet& s) { s.SetCellText(1, 1024, QStringLiteral("x")); },
                1024, 1},
        ColCase{"PastTheLimit", [](ResultSheet& s) { s.SetCellText(1, 1025, QStringLiteral("x")); },
                21, 0},
        ColCase{"ImportOfNarrowRows", [](ResultSheet& s) { s.ReplaceCells(CellStore(), 0, 4); }, 21,
                1},
        ColCase{"ImportOfWideRows", [](ResultSheet& s) { s.ReplaceCells(CellStore(), 0, 300); },
                300, 1},
        ColCase{"ImportPastTheLimit", [](ResultSheet& s) { s.ReplaceCells(CellStore(), 0, 5000); },
                1024, 1}),
    CaseName());

struct RefusedCase
{
    const char* name;
    std::function<bool(ResultSheet&)> op;
};

class Refused : public ::testing::TestWithParam<RefusedCase>
{
};

// Out-of-range arguments: the operation fails and nothing changes.
TEST_P(Refused, ChangesNothing)
{
    ResultSheet sheet;
    fill(sheet, 3);
    sheet.SetSelection(2, 1, 2, 21);
    sheet.SetColumnsHidden(6, 7, true);
    Signals spy(sheet);
    EXPECT_FALSE(GetParam().op(sheet));
    EXPECT_EQ(spy.total(), 0);
    EXPECT_EQ(sheet.RowCount(), 3);
    EXPECT_EQ(sheet.ColCount(), 22);
    EXPECT_EQ(sheet.Selection(), (CellRange{2, 1, 2, 21}));
    for (int c = 1; c <= 22; ++c) {
        EXPECT_EQ(sheet.IsColumnHidden(c), c == 6 || c == 7) << c;
        EXPECT_EQ(column(sheet, c, 3), (std::vector<QString>{mark(1, c), mark(2, c), mark(3, c)}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Refused,
    ::testing::Values(
        RefusedCase{"RowCountPastTheLimit",
                    [](ResultSheet& s) { return s.SetRowCount(ResultSheet::kMaxRows + 1); }},
        RefusedCase{"CellRowZero", [](ResultSheet& s) { return s.SetCellText(0, 1, {}); }},
        RefusedCase{"CellPastTheColumns",
                    [](ResultSheet& s) { return s.SetCellText(1, 1025, QStringLiteral("x")); }},
        RefusedCase{"CellPastTheRows",
                    [](ResultSheet& s) {
                        return s.SetCellText(ResultSheet::kMaxRows + 1, 1, QStringLiteral("x"));
                    }},
        RefusedCase{"SelectionRowZero", [](ResultSheet& s) { return s.SetSelection(0, 1, 1, 1); }},
        RefusedCase{"SelectionUpsideDown",
                    [](ResultSheet& s) { return s.SetSelection(3, 1, 1, 1); }},
        RefusedCase{"SelectionPastTheColumns",
                    [](ResultSheet& s) { return s.SetSelection(1, 1, 1, 1025); }},
        RefusedCase{"ActiveCellOutside", [](ResultSheet& s) { return s.SetActiveCell(0, 0); }},
        RefusedCase{"DeleteShiftLeft", [](ResultSheet& s) { return s.DeleteSelection(1); }},
        RefusedCase{"HideBackwards", [](ResultSheet& s) { return s.SetColumnsHidden(5, 4, true); }},
        RefusedCase{"HidePastTheColumns",
                    [](ResultSheet& s) { return s.SetColumnsHidden(1, 1025, false); }}),
    CaseName());

struct DeleteCase
{
    const char* name;
    CellRange selection;
    std::vector<int> rowsLeft; // the original rows, top to bottom
};

class DeleteSelection : public ::testing::TestWithParam<DeleteCase>
{
};

// Whole rows go, whatever columns are selected; the rows below move up with
// all their cells and the freed rows at the bottom read empty.
TEST_P(DeleteSelection, RemovesTheRowsAndMovesTheRestUp)
{
    const DeleteCase& c = GetParam();
    ResultSheet sheet;
    fill(sheet, 6);
    ASSERT_TRUE(
        sheet.SetSelection(c.selection.row1, c.selection.col1, c.selection.row2, c.selection.col2));
    Signals spy(sheet);
    EXPECT_TRUE(sheet.DeleteSelection(3));
    EXPECT_EQ(sheet.RowCount(), 6);
    for (const int col : {1, 21, 22}) {
        std::vector<QString> expected;
        for (const int r : c.rowsLeft)
            expected.push_back(mark(r, col));
        expected.resize(6);
        EXPECT_EQ(column(sheet, col, 6), expected) << "column " << col;
    }
    const int resets = c.rowsLeft.size() == 6 ? 0 : 1;
    EXPECT_EQ(spy.aboutToReset.count(), resets);
    EXPECT_EQ(spy.reset.count(), resets);
    EXPECT_EQ(spy.cell.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DeleteSelection,
    ::testing::Values(DeleteCase{"OneRow", {3, 1, 3, 1}, {1, 2, 4, 5, 6}},
                      DeleteCase{"SeveralRowsSomeColumns", {2, 5, 4, 9}, {1, 5, 6}},
                      DeleteCase{"FirstAndPastTheEnd", {5, 1, 40, 21}, {1, 2, 3, 4}},
                      DeleteCase{"Everything", {1, 1, 6, 22}, {}},
                      DeleteCase{"NoRows", {4, 1, 3, 21}, {1, 2, 3, 4, 5, 6}},
                      DeleteCase{"BelowTheRows", {8, 1, 9, 21}, {1, 2, 3, 4, 5, 6}}),
    CaseName());

TEST(ResultSheet, HidesExactlyTheColumnsAskedFor)
{
    ResultSheet sheet;
    Signals spy(sheet);
    EXPECT_TRUE(sheet.SetColumnsHidden(5, 7, true));
    EXPECT_TRUE(sheet.SetColumnsHidden(5, 7, true));
    EXPECT_TRUE(sheet.SetColumnsHidden(1024, 1024, true));
    EXPECT_TRUE(sheet.SetColumnsHidden(6, 6, false));
    std::vector<int> hidden;
    for (int c = 0; c <= 1025; ++c) {
        if (sheet.IsColumnHidden(c))
            hidden.push_back(c);
    }
    EXPECT_EQ(hidden, (std::vector<int>{5, 7, 1024}));
    EXPECT_EQ(spy.hidden.count(), 3); // the repeat changed nothing
    EXPECT_EQ(spy.hidden.at(2), (QList<QVariant>{6, 6}));
}

TEST(ResultSheet, SelectionPrintRangeAndActiveCell)
{
    ResultSheet sheet;
    Signals spy(sheet);
    EXPECT_TRUE(sheet.SetSelection(1, 1, 0, 21)); // no rows: an empty sheet
    EXPECT_TRUE(sheet.SetSelection(1, 1, 0, 21));
    EXPECT_EQ(spy.selection.count(), 1);
    sheet.PrintRangeFromSelection();
    EXPECT_TRUE(sheet.SetSelection(2, 3, 4, 5));
    EXPECT_EQ(sheet.Selection(), (CellRange{2, 3, 4, 5}));
    EXPECT_EQ(sheet.PrintRange(), (CellRange{1, 1, 0, 21}));
    EXPECT_FALSE(sheet.PrintRange().hasRows());
    EXPECT_TRUE(sheet.SetActiveCell(7, 2));
    EXPECT_EQ(sheet.Selection(), (CellRange{7, 2, 7, 2}));
    ASSERT_EQ(spy.active.count(), 1);
    EXPECT_EQ(spy.active.at(0), (QList<QVariant>{7, 2}));
}

// One cell changed is one cellChanged; a row count or an import is one reset.
TEST(ResultSheet, TellsObserversOncePerChange)
{
    ResultSheet sheet;
    fill(sheet, 2);
    Signals spy(sheet);
    sheet.SetCellText(2, 3, QStringLiteral("x"));
    sheet.SetCellText(5, 3, QStringLiteral("written ahead"));
    ASSERT_EQ(spy.cell.count(), 1);
    EXPECT_EQ(spy.cell.at(0), (QList<QVariant>{2, 3}));
    EXPECT_EQ(spy.reset.count(), 0);
    sheet.SetRowCount(5);
    sheet.SetRowCount(5);
    EXPECT_EQ(spy.reset.count(), 1);
    EXPECT_EQ(sheet.CellText(5, 3), QStringLiteral("written ahead"));

    CellStore cells;
    for (int r = 0; r < 1000; ++r)
        cells.setHandle(r, 2, cells.addText("row"));
    sheet.ReplaceCells(std::move(cells), 1000, 21);
    EXPECT_EQ(spy.aboutToReset.count(), 2);
    EXPECT_EQ(spy.reset.count(), 2);
    EXPECT_EQ(spy.cell.count(), 1);
    EXPECT_EQ(sheet.RowCount(), 1000);
    EXPECT_EQ(sheet.CellText(1000, 3), QStringLiteral("row"));
    EXPECT_TRUE(sheet.CellText(1, 1).isEmpty());
}
} // namespace

namespace {
// NOME, a check's message and an orientation, by row.
const std::vector<std::array<const char*, 3>> kWorkers = {
    {"MARIA", "CPF cancelado", "X"}, {"ÁLVARO", "OK", "X"},      {"alvaro", "CPF cancelado", "Y"},
    {"BRUNO", "CPF cancelado", "X"}, {"", "CPF cancelado", "X"},
};

void fillWorkers(ResultSheet& sheet)
{
    for (std::size_t r = 0; r < kWorkers.size(); ++r) {
        sheet.SetCellText(int(r) + 1, 3, QString::fromUtf8(kWorkers[r][0]));
        sheet.SetCellText(int(r) + 1, 16, QString::fromUtf8(kWorkers[r][1]));
        sheet.SetCellText(int(r) + 1, 21, QString::fromUtf8(kWorkers[r][2]));
    }
    sheet.SetRowCount(int(kWorkers.size()));
}

std::vector<int> shown(const ResultSheet& sheet)
{
    std::vector<int> rows;
    for (int position = 1; position <= sheet.ShownRowCount(); ++position)
        rows.push_back(sheet.ShownRow(position));
    return rows;
}

struct Shown
{
    const char* name;
    std::function<void(ResultSheet&)> steps;
    std::vector<int> rows;
};

class ShownRows : public ::testing::TestWithParam<Shown>
{
};
} // namespace

// Filters and sorts choose and order the rows shown; the sheet's own rows
// never move, and a reset of the rows shows them all in order again.
TEST_P(ShownRows, FilterAndSortMapRowsWithoutMovingThem)
{
    ResultSheet sheet;
    fillWorkers(sheet);
    GetParam().steps(sheet);
    EXPECT_EQ(shown(sheet), GetParam().rows);
    for (std::size_t r = 0; r < kWorkers.size() && GetParam().name != std::string("Delete"); ++r)
        EXPECT_EQ(sheet.CellUtf8(int(r) + 1, 3), kWorkers[r][0]);
    EXPECT_EQ(sheet.ShownRow(0), 0);
    EXPECT_EQ(sheet.ShownRow(sheet.ShownRowCount() + 1), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ShownRows,
    ::testing::Values(
        Shown{"None", [](ResultSheet&) {}, {1, 2, 3, 4, 5}},
        Shown{"OneColumn",
              [](ResultSheet& s) { s.SetColumnFilter(16, {"CPF cancelado"}); },
              {1, 3, 4, 5}},
        Shown{"TwoColumnsAnd",
              [](ResultSheet& s) {
                  s.SetColumnFilter(16, {"CPF cancelado"});
                  s.SetColumnFilter(21, {"X"});
              },
              {1, 4, 5}},
        Shown{"SeveralTextsOr",
              [](ResultSheet& s) {
                  s.SetColumnFilter(3, {"BRUNO", ""});
              },
              {4, 5}},
        Shown{"NothingMatches", [](ResultSheet& s) { s.SetColumnFilter(3, {"bruno"}); }, {}},
        Shown{"SortEmptiesLast",
              [](ResultSheet& s) { s.SortRows(3, RowSort::Direction::Ascending); },
              {3, 2, 4, 1, 5}},
        Shown{"FilterThenSortDescending",
              [](ResultSheet& s) {
                  s.SetColumnFilter(21, {"X"});
                  s.SortRows(3, RowSort::Direction::Descending);
              },
              {1, 4, 2, 5}},
        Shown{"SortThenFilterKeepsOrder",
              [](ResultSheet& s) {
                  s.SortRows(3, RowSort::Direction::Descending);
                  s.SetColumnFilter(16, {"CPF cancelado"});
              },
              {1, 4, 3, 5}},
        Shown{"ColumnCleared",
              [](ResultSheet& s) {
                  s.SetColumnFilter(16, {"CPF cancelado"});
                  s.SetColumnFilter(21, {"X"});
                  s.ClearColumnFilter(16);
              },
              {1, 2, 4, 5}},
        Shown{"FileOrderKeepsFilter",
              [](ResultSheet& s) {
                  s.SortRows(3, RowSort::Direction::Ascending);
                  s.SetColumnFilter(21, {"X"});
                  s.ClearSort();
              },
              {1, 2, 4, 5}},
        Shown{"ShowAllKeepsSort",
              [](ResultSheet& s) {
                  s.SetColumnFilter(21, {"Y"});
                  s.SortRows(3, RowSort::Direction::Descending);
                  s.ClearFilters();
              },
              {1, 4, 2, 3, 5}},
        Shown{"ResetShowsAllInOrder",
              [](ResultSheet& s) {
                  s.SetColumnFilter(21, {"X"});
                  s.SortRows(3, RowSort::Direction::Descending);
                  s.SetRowCount(4);
              },
              {1, 2, 3, 4}},
        // The rows selected as shown go, wherever the sheet holds them.
        Shown{"Delete",
              [](ResultSheet& s) {
                  s.SortRows(3, RowSort::Direction::Ascending);
                  s.SetSelection(1, 1, 2, 21);
                  s.DeleteSelection(3);
                  EXPECT_EQ(s.CellUtf8(1, 3), "MARIA");
                  EXPECT_EQ(s.CellUtf8(2, 3), "BRUNO");
                  EXPECT_EQ(s.CellUtf8(3, 3), "");
                  EXPECT_EQ(s.CellUtf8(3, 16), "CPF cancelado");
                  EXPECT_EQ(s.CellUtf8(4, 16), "");
              },
              {1, 2, 3, 4, 5}}),
    CaseName());

TEST(ShownRowsSignals, ViewsHearOfTheChangeAndTheSelectionGoesToTheTop)
{
    ResultSheet sheet;
    fillWorkers(sheet);
    sheet.SetSelection(3, 16, 4, 21);
    QSignalSpy before(&sheet, &ResultSheet::shownRowsAboutToChange);
    QSignalSpy after(&sheet, &ResultSheet::shownRowsChanged);
    QSignalSpy resets(&sheet, &ResultSheet::sheetReset);
    sheet.SetColumnFilter(16, {"CPF cancelado"});
    EXPECT_EQ(before.count(), 1);
    EXPECT_EQ(after.count(), 1);
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(sheet.Selection(), (CellRange{1, 16, 1, 16}));
    EXPECT_FALSE(sheet.SetColumnFilter(0, {"x"}));
    EXPECT_FALSE(sheet.SortRows(22, RowSort::Direction::Ascending));
    EXPECT_EQ(after.count(), 1);
}

namespace {
// What a change of the rows shown may change.
struct ShownState
{
    std::vector<int> rows;
    std::map<int, std::set<std::string>> filter;
    int sortColumn;
    RowSort::Direction sortDirection;
    bool operator==(const ShownState&) const = default;
};

ShownState shownState(const ResultSheet& sheet)
{
    return {shown(sheet), sheet.Filter().columns(), sheet.SortColumn(), sheet.SortDirection()};
}

struct ShownChange
{
    const char* name;
    std::function<void(ResultSheet&)> step;
};

class ShownRowsOutOfMemory : public ::testing::TestWithParam<ShownChange>
{
};
} // namespace

// Memory may run out at any allocation of a filter or a sort: the change
// fails whole, with std::bad_alloc for the caller to tell, and the clerk
// keeps the rows, the filter and the sort shown before; the views hear of
// nothing.
TEST_P(ShownRowsOutOfMemory, LeavesTheRowsShownAsTheyWere)
{
    auto worklist = [](ResultSheet& sheet) {
        fillWorkers(sheet);
        for (int r = 1; r <= sheet.RowCount(); ++r)
            sheet.SetCellText(r, 1, QString::number(900 - r * 7));
        sheet.SortRows(3, RowSort::Direction::Descending);
        sheet.SetColumnFilter(16, {"CPF cancelado"});
        sheet.SetColumnFilter(21, {"X", "Y"});
    };
    ResultSheet done;
    worklist(done);
    GetParam().step(done);
    const ShownState after = shownState(done);

    int failures = 0;
    for (long n = 0; n < 100'000; ++n) {
        ResultSheet sheet;
        worklist(sheet);
        const ShownState before = shownState(sheet);
        int heard = 0;
        QObject::connect(&sheet, &ResultSheet::shownRowsAboutToChange, [&heard] { ++heard; });
        bool threw = false;
        bool failed = false;
        {
            const FailingAllocation failing(n);
            try {
                GetParam().step(sheet);
            } catch (const std::bad_alloc&) {
                threw = true;
            }
            failed = failing.failed();
        }
        ASSERT_EQ(threw, failed) << "allocation " << n;
        if (!threw) {
            EXPECT_EQ(shownState(sheet), after);
            break;
        }
        ++failures;
        ASSERT_EQ(shownState(sheet), before) << "allocation " << n;
        EXPECT_EQ(heard, 0) << "allocation " << n;
    }
    EXPECT_GT(failures, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, ShownRowsOutOfMemory,
    ::testing::Values(
        ShownChange{"FilterAnotherColumn",
                    [](ResultSheet& s) {
                        s.SetColumnFilter(3, {"MARIA", "BRUNO", ""});
                    }},
        ShownChange{"FilterTheSameColumnAgain",
                    [](ResultSheet& s) { s.SetColumnFilter(16, {"OK"}); }},
        ShownChange{"ClearOneColumnsFilter", [](ResultSheet& s) { s.ClearColumnFilter(16); }},
        ShownChange{"SortByText",
                    [](ResultSheet& s) { s.SortRows(3, RowSort::Direction::Ascending); }},
        ShownChange{"SortByNumber",
                    [](ResultSheet& s) { s.SortRows(1, RowSort::Direction::Ascending); }},
        ShownChange{"SortByMessage",
                    [](ResultSheet& s) { s.SortRows(16, RowSort::Direction::Descending); }},
        ShownChange{"FileOrder", [](ResultSheet& s) { s.ClearSort(); }}),
    CaseName());
