#include "processing/importcommand.h"
#include "sheet/grid/sheetheader.h"
#include "sheet/grid/sheetstyle.h"
#include "sheet/grid/sheetview.h"
#include "sheet/resultsheet.h"
#include "sheet/returnfields.h"
#include "sheet/sheettemplate.h"
#include "tests/support/casename.h"
#include "tests/support/testfiles.h"
#include "tools/returnfilegenerator.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {
using Rows = std::vector<std::vector<const char*>>;

void fill(ResultSheet& sheet, const Rows& rows)
{
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            sheet.SetCellText(int(r) + 1, int(c) + 1, QString::fromUtf8(rows[r][c]));
    sheet.SetRowCount(int(rows.size()));
}

void show(SheetView& view)
{
    view.resize(900, 500);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
}

QPoint centre(SheetView& view, int row, int col)
{
    return view.visualRect(view.model()->index(row - 1, col - 1)).center();
}

TEST(SheetViewTemplate, FontsRowsAndWidths)
{
    SheetView view;
    EXPECT_EQ(view.font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(view.font().pointSize(), 9);
    EXPECT_EQ(view.horizontalHeader()->font().pointSize(), 10);
    EXPECT_EQ(view.locale().currencySymbol(), QStringLiteral("R$"));
    EXPECT_EQ(view.model()->rowCount(), 0);
    // Arial 10 pt's "0" (Liberation Sans from fonts-liberation2) is 7 px at 96 dpi.
    ASSERT_EQ(view.logicalDpiX(), 96);
    ASSERT_EQ(SheetStyle::digitWidthPixels(view), 7);

    // The template's widths, its characters x 7 px + 5 px of padding; the
    // grid widens a few for their headings beside the buttons. Hidden, shown
    // again and through resets, a column keeps its width.
    const int pixels[] = {89,  89,  292, 68,  102, 100, 114, 96,  113, 224, 145, 133,
                          184, 203, 181, 224, 217, 277, 197, 400, 614, 69,  69};
    view.sheet().SetCellText(1, 23, QStringLiteral("x"));
    std::vector<int> shown;
    for (int col = 1; col <= 23; ++col) {
        EXPECT_EQ(SheetStyle::columnWidthPixels(col, 7), pixels[col - 1]) << "column " << col;
        EXPECT_GE(view.columnWidth(col - 1), pixels[col - 1]) << "column " << col;
        shown.push_back(view.columnWidth(col - 1));
    }
    view.sheet().SetColumnsHidden(1, 23, true);
    view.sheet().SetRowCount(100'000);
    view.sheet().SetColumnsHidden(1, 23, false);
    for (int col = 1; col <= 23; ++col)
        EXPECT_EQ(view.columnWidth(col - 1), shown[col - 1]) << "column " << col;
    // 255 twips.
    EXPECT_EQ(view.verticalHeader()->length(), 100'000 * 17);
    EXPECT_EQ(SheetStyle::rowHeightPixels(120), 21);
}

class SheetViewHidden : public ::testing::TestWithParam<std::vector<int>>
{
};

// What the optimisation does to the sheet: rows deleted, passing code
// columns hidden. The grid hides them, the others keep their widths, and the
// next import shows them all again.
TEST_P(SheetViewHidden, HiddenColumnsFollowTheSheet)
{
    TestFiles files;
    const QString path = files.write(QStringLiteral("r.txt"), ReturnFileGenerator().sample(30));
    SheetView view;
    ASSERT_TRUE(ImportCommand::run(path, view.sheet()).succeeded());
    const int fullLength = view.horizontalHeader()->length();
    view.sheet().SetSelection(1, 1, 10, 21);
    view.sheet().DeleteSelection(3);
    int hiddenLength = 0;
    for (const int col : GetParam()) {
        hiddenLength += view.columnWidth(col - 1);
        view.sheet().SetColumnsHidden(col, col, true);
    }
    for (int col = 1; col <= 21; ++col)
        EXPECT_EQ(view.isColumnHidden(col - 1),
                  std::count(GetParam().begin(), GetParam().end(), col))
            << col;
    EXPECT_EQ(view.horizontalHeader()->length(), fullLength - hiddenLength);

    ASSERT_TRUE(ImportCommand::run(path, view.sheet()).succeeded());
    EXPECT_EQ(view.horizontalHeader()->length(), fullLength);
}

INSTANTIATE_TEST_SUITE_P(Cases, SheetViewHidden,
                         ::testing::Values(std::vector<int>{}, std::vector<int>{11},
                                           std::vector<int>{5, 6, 8, 12, 19, 21}));

struct Copy
{
    const char* name;
    Rows rows;
    int hiddenCol;
    CellRange selection;
    const char* clipboard;
};

class SheetViewCopy : public ::testing::TestWithParam<Copy>
{
};

TEST_P(SheetViewCopy, CtrlCPutsTabSeparatedText)
{
    const Copy& c = GetParam();
    SheetView view;
    fill(view.sheet(), c.rows);
    view.sheet().SetColumnsHidden(c.hiddenCol, c.hiddenCol, true);
    view.sheet().SetSelection(c.selection.row1, c.selection.col1, c.selection.row2,
                              c.selection.col2);
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::keySequence(&view, QKeySequence::Copy);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8(c.clipboard));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SheetViewCopy,
    ::testing::Values(
        Copy{"LeadingZero", {{"01234567890", "x"}}, 30, {1, 1, 1, 1}, "01234567890\n"},
        Copy{"Block", {{"a", "b", "c"}, {"d", "é", "f"}}, 30, {1, 2, 2, 3}, "b\tc\né\tf\n"},
        Copy{"HiddenLeftOut", {{"a", "b", "c"}, {"d", "e", "f"}}, 2, {1, 1, 2, 3}, "a\tc\nd\tf\n"},
        Copy{"EmptyCells", {{"a", "", "c"}, {}}, 30, {1, 1, 2, 3}, "a\t\tc\n\t\t\n"},
        Copy{"PastTheSheet", {{"a", "b"}}, 30, {1, 1, 5, 2}, "a\tb\n"},
        Copy{"Quoted",
             {{"t\tb", "two\nlines", "\"oi\"", "p"}},
             30,
             {1, 1, 1, 4},
             "\"t\tb\"\t\"two\nlines\"\t\"\"\"oi\"\"\"\tp\n"},
        Copy{"NothingSelected", {{"a"}}, 30, {1, 1, 0, 1}, "before"},
        Copy{"OnlyHidden", {{"a", "b"}}, 1, {1, 1, 1, 1}, "before"}),
    CaseName());

struct UserSelection
{
    const char* name;
    std::function<void(SheetView&)> act;
    CellRange expected;
};

class SheetViewSelection : public ::testing::TestWithParam<UserSelection>
{
};

TEST_P(SheetViewSelection, OneSelectionBothWays)
{
    SheetView view;
    fill(view.sheet(), Rows(8, {"a", "b", "c"}));
    show(view);
    GetParam().act(view);
    EXPECT_EQ(view.sheet().Selection(), GetParam().expected);

    QSignalSpy sheetSide(&view.sheet(), &ResultSheet::selectionChanged);
    QSignalSpy viewSide(view.selectionModel(), &QItemSelectionModel::selectionChanged);
    view.sheet().SetSelection(2, 2, 3, 4);
    EXPECT_EQ(sheetSide.count(), 1);
    EXPECT_EQ(viewSide.count(), 1);
    EXPECT_EQ(view.selectionModel()->selectedIndexes().size(), 6);
    EXPECT_EQ(view.currentIndex(), view.model()->index(1, 1));
}

INSTANTIATE_TEST_SUITE_P(
    Actions, SheetViewSelection,
    ::testing::Values(UserSelection{"ShiftArrows",
                                    [](SheetView& v) {
                                        QTest::mouseClick(v.viewport(), Qt::LeftButton, {},
                                                          centre(v, 2, 1));
                                        QTest::keyClick(&v, Qt::Key_Down, Qt::ShiftModifier);
                                        QTest::keyClick(&v, Qt::Key_Right, Qt::ShiftModifier);
                                    },
                                    {2, 1, 3, 2}},
                      UserSelection{"ColumnHeading",
                                    [](SheetView& v) {
                                        QHeaderView* h = v.horizontalHeader();
                                        QTest::mouseClick(
                                            h->viewport(), Qt::LeftButton, {},
                                            QPoint(h->sectionViewportPosition(2) + 5, 5));
                                    },
                                    {1, 3, 8, 3}}),
    CaseName());

TEST(SheetViewFollows, CommandsShowInTheGrid)
{
    SheetView view;
    fill(view.sheet(), Rows(2000, {"a", "b"}));
    show(view);
    const auto inSight = [&view](int row) { return view.rect().contains(centre(view, row, 1)); };
    // The printer button selects past the last row; the grid shows what exists.
    view.sheet().SetSelection(1, 1, 2010, 25);
    EXPECT_TRUE(view.selectionModel()->isRowSelected(1999, {}));
    // A selection alone does not scroll; the active cell does.
    view.sheet().SetSelection(1800, 1, 1800, 1);
    EXPECT_FALSE(inSight(1800));
    view.sheet().SetActiveCell(1500, 2);
    EXPECT_TRUE(inSight(1500));
    // A reset keeps the sheet's selection on show.
    view.sheet().SetSelection(5, 1, 6, 2);
    view.sheet().SetRowCount(10);
    EXPECT_EQ(view.selectionModel()->selectedIndexes().size(), 4);
    // A column hidden before the sheet grows to it stays hidden when it comes.
    view.sheet().SetColumnsHidden(23, 23, true);
    view.sheet().SetCellText(1, 25, QStringLiteral("x"));
    EXPECT_TRUE(view.isColumnHidden(22));
    EXPECT_FALSE(view.isColumnHidden(23));
}

struct HugeCell
{
    const char* name;
    QString text;
};

class SheetViewHugeCell : public ::testing::TestWithParam<HugeCell>
{
};

// One field of a hostile file can hold megabytes. The grid is given the start
// of it, more than the widest column shows and never half a character, and
// copying still gives it whole.
TEST_P(SheetViewHugeCell, ShowsItsStartCopiesItWhole)
{
    const QString& text = GetParam().text;
    constexpr int kWidest = ReturnFields::kCount;
    SheetView view;
    view.sheet().SetCellText(1, kWidest, text);
    view.sheet().SetRowCount(1);

    const QString shown = view.model()->index(0, kWidest - 1).data().toString();
    EXPECT_LE(shown.size(), SheetTemplate::kMostCharsShown);
    EXPECT_TRUE(shown.isValidUtf16());
    EXPECT_TRUE(text.startsWith(shown));
    EXPECT_GT(QFontMetrics(view.font()).horizontalAdvance(shown), view.columnWidth(kWidest - 1));

    view.sheet().SetSelection(1, kWidest, 1, kWidest);
    QTest::keySequence(&view, QKeySequence::Copy);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), text + u'\n');
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SheetViewHugeCell,
    ::testing::Values(
        HugeCell{"NarrowLetters", QString(2'000'000, u'i')},
        // The bytes that are enough end inside a character, or
        // the characters that are enough end inside a pair.
        HugeCell{"CutInsideACharacter", QString(SheetTemplate::kMostCharsShown - 1, u'\u20AC') +
                                            QString::fromUtf8("\U0001F600").repeated(1000)},
        HugeCell{"CutInsideAPair", u'A' + QString::fromUtf8("\U0001F600").repeated(3000)}),
    CaseName());

TEST(SheetViewFollows, UserCannotWriteCells)
{
    SheetView view;
    fill(view.sheet(), {{"01234567890"}});
    show(view);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, centre(view, 1, 1));
    QTest::keyClick(&view, Qt::Key_F2);
    QTest::keyClicks(&view, QStringLiteral("99"));
    QTest::keyClick(&view, Qt::Key_Delete);
    EXPECT_TRUE(view.findChildren<QLineEdit*>().isEmpty());
    EXPECT_EQ(view.sheet().CellText(1, 1), QStringLiteral("01234567890"));
}

TEST(SheetTemplatePrint, HoldsTheTemplatesSettings)
{
    const SheetTemplate::PrintSettings s = SheetTemplate::printSettings();
    EXPECT_EQ(s.header, QStringLiteral("&A"));
    EXPECT_EQ(s.footer, QStringLiteral("P\u00e1gina &P"));
    EXPECT_EQ((std::vector{s.leftMargin, s.rightMargin, s.topMargin, s.bottomMargin, s.headerMargin,
                           s.footerMargin}),
              (std::vector{0.75, 0.75, 1.0, 1.0, 0.5, 0.5}));
    EXPECT_EQ((std::vector{s.paperSizeCode, s.scalePercent, s.firstPageNumber, s.copies}),
              (std::vector{9, 100, 1, 1}));
    EXPECT_EQ((std::vector{s.landscape, s.blackAndWhite, s.printRowHeadings, s.printColumnHeadings,
                           s.printGridlines, s.centerHorizontally, s.centerVertically}),
              (std::vector{false, true, true, true, true, true, false}));
}
} // namespace

namespace {
QTableView* frozenPart(SheetView& view)
{
    return view.findChild<QTableView*>(QStringLiteral("frozenColumns"));
}
} // namespace

// CPF, NIS and NOME stay at the left edge whatever scrolls, and a selection
// runs from them to the scrolled columns as on any cells.
TEST(SheetViewFrozen, FirstThreeColumnsStayAndSelectAcrossTheEdge)
{
    TestFiles files;
    SheetView view;
    ASSERT_TRUE(
        ImportCommand::run(files.write(QStringLiteral("r.txt"), ReturnFileGenerator().sample(60)),
                           view.sheet())
            .succeeded());
    show(view);
    QTableView* frozen = frozenPart(view);
    ASSERT_NE(frozen, nullptr);
    ASSERT_TRUE(view.freezeAction()->isChecked());
    EXPECT_TRUE(frozen->isVisible());
    EXPECT_EQ(view.sheet().FrozenColumnCount(), 3);
    const int frozenWidth = view.columnWidth(0) + view.columnWidth(1) + view.columnWidth(2);
    EXPECT_EQ(frozen->geometry().left(), view.viewport()->geometry().left());
    EXPECT_EQ(frozen->viewport()->width(), frozenWidth + 1);
    for (int col = 0; col < 21; ++col)
        EXPECT_EQ(frozen->isColumnHidden(col), col >= 3) << col;
    // Drawn as the grid draws: the template's fonts, headings centred.
    EXPECT_EQ(frozen->font(), view.font());
    EXPECT_EQ(frozen->horizontalHeader()->font(), view.horizontalHeader()->font());
    EXPECT_EQ(frozen->horizontalHeader()->defaultAlignment(), Qt::AlignCenter);
    EXPECT_EQ(frozen->horizontalHeader()->height(), view.horizontalHeader()->height());

    view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum());
    view.verticalScrollBar()->setValue(10);
    EXPECT_EQ(frozen->verticalScrollBar()->value(), view.verticalScrollBar()->value());
    // NOME of the 12th row, where it shows over the scrolled grid.
    const QPoint nome = frozen->visualRect(view.model()->index(11, 2)).center();
    QTest::mouseClick(frozen->viewport(), Qt::LeftButton, {}, nome);
    EXPECT_EQ(view.sheet().Selection(), (CellRange{12, 3, 12, 3}));
    // Shift+click on the last column, three rows down.
    const QPoint last = centre(view, 15, 21);
    ASSERT_TRUE(view.viewport()->rect().contains(last));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ShiftModifier, last);
    EXPECT_EQ(view.sheet().Selection(), (CellRange{12, 3, 15, 21}));

    // From NOME, Right brings DN out from under the frozen columns; Left
    // goes back to NOME and scrolls nothing across.
    view.sheet().SetActiveCell(12, 3);
    QTest::keyClick(&view, Qt::Key_Right);
    ASSERT_EQ(view.currentIndex().column(), 3);
    EXPECT_EQ(view.visualRect(view.currentIndex()).left(), frozenWidth);
    const int across = view.horizontalScrollBar()->value();
    QTest::keyClick(&view, Qt::Key_Left);
    EXPECT_EQ(view.currentIndex().column(), 2);
    EXPECT_EQ(view.horizontalScrollBar()->value(), across);

    // Switched off, the grid scrolls whole again, and the sheet, which
    // prints and saves, knows.
    view.freezeAction()->trigger();
    EXPECT_FALSE(frozen->isVisible());
    EXPECT_EQ(view.sheet().FrozenColumnCount(), 0);
    EXPECT_EQ(view.indexAt(nome).column(), view.columnAt(nome.x()));
}

// Each heading's button shows, and shows the column's state: the menu's
// arrow, a funnel when filtered, an arrow up when sorted A→Z.
TEST(SheetViewHeadings, ButtonsShowTheColumnsState)
{
    SheetView view;
    fill(view.sheet(), Rows(5, {"a", "b", "c", "d", "e", "f"}));
    show(view);
    auto* header = static_cast<SheetHeader*>(view.horizontalHeader());
    auto button = [&](int col) {
        QCoreApplication::processEvents();
        return header->grab(header->buttonRect(col - 1)).toImage();
    };
    const QImage plain = button(5);
    const QImage other = button(6);
    ASSERT_FALSE(plain.isNull());
    EXPECT_EQ(plain, other);
    // Something is drawn: the button is not one colour.
    EXPECT_NE(plain.pixel(plain.width() / 2, plain.height() / 2), plain.pixel(1, 1));

    view.sheet().SetColumnFilter(5, {"e"});
    const QImage filtered = button(5);
    view.sheet().ClearFilters();
    view.sheet().SortRows(5, RowSort::Direction::Ascending);
    const QImage sorted = button(5);
    EXPECT_NE(filtered, plain);
    EXPECT_NE(sorted, plain);
    EXPECT_NE(sorted, filtered);
}

// A sort and a filter, as the grid's menus set them; column 0 sorts nothing.
struct RowsShown
{
    const char* name;
    int sortColumn;
    RowSort::Direction direction;
    std::set<std::string> filter; // column 5's texts; none: no filter
    QString description;          // what a screen reader says of column 5's heading
    const char* ticked;           // the sort ticked in column 5's menu, if any
};

void PrintTo(const RowsShown& c, std::ostream* os)
{
    *os << c.name;
}

class SheetViewHeadingState : public ::testing::TestWithParam<RowsShown>
{
};

// What the heading's button shows, a screen reader says: the heading keeps
// its name and says its sort and filter, and its menu, named after it,
// ticks the sort the rows have by it.
TEST_P(SheetViewHeadingState, AScreenReaderHearsTheSortAndTheFilter)
{
    const RowsShown& c = GetParam();
    SheetView view;
    fill(view.sheet(), {{"a", "b", "c", "d", "e", "f"},
                        {"a", "b", "c", "d", "x", "f"},
                        {"a", "b", "c", "d", "y", "f"}});
    show(view);
    if (c.sortColumn > 0) {
        ASSERT_TRUE(view.sheet().SortRows(c.sortColumn, c.direction));
    }
    if (!c.filter.empty()) {
        ASSERT_TRUE(view.sheet().SetColumnFilter(5, c.filter));
    }

    QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(&view);
    ASSERT_TRUE(grid && grid->tableInterface());
    QAccessibleInterface* cell = grid->tableInterface()->cellAt(0, 4);
    ASSERT_TRUE(cell && cell->tableCellInterface());
    const QList<QAccessibleInterface*> headings = cell->tableCellInterface()->columnHeaderCells();
    ASSERT_EQ(headings.size(), 1);
    EXPECT_EQ(headings.front()->text(QAccessible::Name), SheetTemplate::heading(5));
    EXPECT_EQ(headings.front()->text(QAccessible::Description), c.description);

    const std::unique_ptr<QMenu> menu(view.columnMenu(5));
    QAccessibleInterface* items = QAccessible::queryAccessibleInterface(menu.get());
    EXPECT_EQ(items->text(QAccessible::Name),
              QStringLiteral("Coluna %1").arg(SheetTemplate::heading(5)));
    QStringList ticked;
    for (int i = 0; i < items->childCount(); ++i) {
        QAccessibleInterface* item = items->child(i);
        const QString text = item->text(QAccessible::Name);
        if (text.startsWith(QStringLiteral("Classificar"))) {
            EXPECT_TRUE(item->state().checkable) << text.toStdString();
        }
        if (item->state().checked)
            ticked << text;
    }
    EXPECT_EQ(ticked, c.ticked ? QStringList{QString::fromUtf8(c.ticked)} : QStringList());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SheetViewHeadingState,
    ::testing::Values(
        RowsShown{"Neither", 0, RowSort::Direction::Ascending, {}, QString(), nullptr},
        RowsShown{"SortedUp",
                  5,
                  RowSort::Direction::Ascending,
                  {},
                  QStringLiteral("classificada A→Z"),
                  "Classificar A→Z"},
        RowsShown{"SortedDownAndFilteredToOne",
                  5,
                  RowSort::Direction::Descending,
                  {"x"},
                  QStringLiteral("classificada Z→A, filtrada: 1 valor"),
                  "Classificar Z→A"},
        RowsShown{"AnotherColumnSortedThisFiltered",
                  6,
                  RowSort::Direction::Ascending,
                  {"e", "y"},
                  QStringLiteral("filtrada: 2 valores"),
                  nullptr}),
    CaseName());

class SheetViewAcross : public ::testing::TestWithParam<int>
{
};

// Clicked step by step along the horizontal scroll bar's arrow, each
// scrolled column starts at the frozen edge, never half under it, and every
// column shows whole at some step, the orientation wider than the room too;
// End puts it at the frozen edge. The views: room for the orientation beside
// the frozen part, room for the widest check alone, and the grid of a 900 px
// window at 125 %, whose room is narrower than the longer checks and which
// keeps the freeze all the same.
TEST_P(SheetViewAcross, ScrollsByWholeColumnsFromTheFrozenEdge)
{
    TestFiles files;
    SheetView view;
    ASSERT_TRUE(
        ImportCommand::run(files.write(QStringLiteral("r.txt"), ReturnFileGenerator().sample(40)),
                           view.sheet())
            .succeeded());
    view.resize(GetParam(), 400);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QTableView* frozen = frozenPart(view);
    ASSERT_TRUE(frozen->isVisible());
    const int edge = view.columnWidth(0) + view.columnWidth(1) + view.columnWidth(2);
    const int room = view.viewport()->width() - edge;
    ASSERT_EQ(room < view.columnWidth(20), GetParam() < 1200);

    QScrollBar* across = view.horizontalScrollBar();
    std::vector<int> seenLeft(21, 1 << 20);
    std::vector<int> seenRight(21, -1);
    across->setValue(0);
    for (int step = 0;; ++step) {
        if (step > 0) {
            if (across->value() == across->maximum())
                break;
            across->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        }
        const int first = view.columnAt(edge);
        const int left = view.columnViewportPosition(first);
        EXPECT_TRUE(left == edge || view.columnWidth(first) > room)
            << "step " << step << ": column " << first + 1 << " starts at " << left;
        for (int col = 3; col < 21; ++col) {
            const int from = view.columnViewportPosition(col);
            const int to = from + view.columnWidth(col);
            const int shownFrom = std::max(from, edge);
            const int shownTo = std::min(to, view.viewport()->width());
            if (shownFrom < shownTo) {
                seenLeft[col] = std::min(seenLeft[col], shownFrom - from);
                seenRight[col] = std::max(seenRight[col], shownTo - from);
            }
        }
    }
    for (int col = 3; col < 21; ++col) {
        EXPECT_EQ(seenLeft[col], 0) << "column " << col + 1 << " never shows its start";
        EXPECT_EQ(seenRight[col], view.columnWidth(col))
            << "column " << col + 1 << " never shows its end";
    }

    // The longest orientation: where its end is cut, the tooltip gives it
    // whole to the keyboard.
    int longest = 1;
    for (int row = 1; row <= view.sheet().RowCount(); ++row)
        if (view.sheet().CellText(row, 21).size() > view.sheet().CellText(longest, 21).size())
            longest = row;
    const QString orientation = view.sheet().CellText(longest, 21);
    QApplication::setActiveWindow(&view);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    view.setFocus();
    view.sheet().SetActiveCell(longest, 1);
    across->setValue(0);
    QTest::keyClick(&view, Qt::Key_End);
    ASSERT_EQ(view.currentIndex().column(), 20);
    EXPECT_EQ(view.visualRect(view.currentIndex()).left(), edge);
#ifndef _WIN32 // the headless Windows platform activates the tooltip's own window, which
               // takes the keyboard from the grid; a Windows desktop shows it aside
    const bool cut = QFontMetrics(view.font()).horizontalAdvance(orientation) + 6 >
                     view.viewport()->width() - edge;
    EXPECT_EQ(QToolTip::isVisible() && QToolTip::text().contains(orientation.toHtmlEscaped()), cut)
        << orientation.toStdString() << (view.hasFocus() ? "" : " (the grid has no focus)");
#endif
    QTest::keyClick(&view, Qt::Key_Home);
    EXPECT_EQ(view.currentIndex().column(), 0);
    EXPECT_EQ(view.columnViewportPosition(3), edge);
}

INSTANTIATE_TEST_SUITE_P(Widths, SheetViewAcross, ::testing::Values(1300, 900, 700));

// Each heading shows whole left of its button: the ink of its text there is
// as wide as the text.
TEST(SheetViewHeadings, ButtonsLeaveTheHeadingsWhole)
{
    SheetView view;
    view.sheet().SetRowCount(3);
    view.resize(4600, 200);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.freezeAction()->trigger();
    auto* header = static_cast<SheetHeader*>(view.horizontalHeader());
    QCoreApplication::processEvents();
    const QImage image = header->grab().toImage();
    const QFontMetrics metrics(header->font());
    for (int col = 1; col <= ReturnFields::kCount; ++col) {
        const QRect button = header->buttonRect(col - 1);
        ASSERT_FALSE(button.isEmpty()) << col;
        int inkLeft = image.width();
        int inkRight = -1;
        for (int x = header->sectionViewportPosition(col - 1) + 1; x < button.left() - 1; ++x)
            for (int y = 2; y < header->height() - 2; ++y)
                if (qGray(image.pixel(x, y)) < 110) {
                    inkLeft = std::min(inkLeft, x);
                    inkRight = std::max(inkRight, x);
                }
        const QString heading = SheetTemplate::heading(col);
        EXPECT_GE(inkRight - inkLeft + 1, metrics.horizontalAdvance(heading) - 3)
            << heading.toStdString();
    }
}
