#include "importcommand.h"
#include "resultsheet.h"
#include "returnfilegenerator.h"
#include "sheetstyle.h"
#include "sheettemplate.h"
#include "sheetview.h"
#include "testfiles.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
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

void showView(SheetView& view)
{
    view.resize(900, 500);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
}

TEST(SheetViewTemplate, LooksAsTheTemplateSays)
{
    SheetView view;
    EXPECT_EQ(view.font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(view.font().pointSize(), 9);
    EXPECT_EQ(view.horizontalHeader()->font().pointSize(), 10);
    // Widths count in the digit width of Arial 10 pt, 7 px at 96 dpi, which
    // Liberation Sans (fonts-liberation2) shares.
    ASSERT_EQ(view.logicalDpiX(), 96);
    ASSERT_EQ(SheetStyle::digitWidthPixels(view), 7);
    EXPECT_TRUE(view.showGrid());
    EXPECT_FALSE(view.horizontalHeader()->isHidden());
    EXPECT_FALSE(view.verticalHeader()->isHidden());
    EXPECT_EQ(view.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(view.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(view.editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(view.verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    EXPECT_EQ(view.locale().currencySymbol(), QStringLiteral("R$"));
    EXPECT_EQ(view.accessibleName(), QStringLiteral("Planilhas1"));
    EXPECT_EQ(view.sheet().Selection(), (CellRange{1, 1, 1, 1}));
    EXPECT_EQ(view.model()->rowCount(), 0);
    EXPECT_EQ(view.model()->columnCount(), 21);
}

TEST(SheetViewTemplate, RowsAre255Twips)
{
    EXPECT_EQ(SheetStyle::rowHeightPixels(96), 17);
    EXPECT_EQ(SheetStyle::rowHeightPixels(120), 21);
    EXPECT_EQ(SheetStyle::rowHeightPixels(192), 34);
    SheetView view;
    view.sheet().SetRowCount(100'000);
    EXPECT_EQ(view.rowHeight(0), 17);
    EXPECT_EQ(view.rowHeight(99'999), 17);
    EXPECT_EQ(view.verticalHeader()->length(), 1'700'000);
}

// Pixel widths from the character widths: chars x 7 px + 5 px padding.
struct Width
{
    int col;
    int pixels;
};

class SheetViewWidths : public ::testing::TestWithParam<Width>
{};

TEST_P(SheetViewWidths, TemplateWidthsHoldThroughResets)
{
    SheetView view;
    const auto [col, pixels] = GetParam();
    view.sheet().SetCellText(1, 24, QStringLiteral("x")); // columns past 21
    EXPECT_EQ(view.columnWidth(col - 1), pixels);
    view.sheet().SetColumnsHidden(col, col, true);
    view.sheet().SetRowCount(50);
    view.sheet().SetColumnsHidden(col, col, false);
    EXPECT_EQ(view.columnWidth(col - 1), pixels);
}

INSTANTIATE_TEST_SUITE_P(
    Columns, SheetViewWidths,
    ::testing::Values(Width{1, 89}, Width{2, 89}, Width{3, 292}, Width{4, 68}, Width{5, 102},
                      Width{6, 100}, Width{7, 114}, Width{8, 96}, Width{9, 113}, Width{10, 224},
                      Width{11, 145}, Width{12, 133}, Width{13, 184}, Width{14, 203},
                      Width{15, 181}, Width{16, 224}, Width{17, 217}, Width{18, 277},
                      Width{19, 197}, Width{20, 400}, Width{21, 614}, Width{22, 69},
                      Width{24, 69}),
    [](const auto& info) { return "Col" + std::to_string(info.param.col); });

struct Optimisation
{
    const char* name;
    std::vector<int> hidden;
};

class SheetViewHidden : public ::testing::TestWithParam<Optimisation>
{};

// What the optimisation does to the sheet: rows deleted, passing code
// columns hidden. The grid hides the same columns, the others keep their
// widths, and the next import shows them all again.
TEST_P(SheetViewHidden, HiddenColumnsFollowTheSheet)
{
    TestFiles files;
    const QString path =
        files.write(QStringLiteral("r.txt"), ReturnFileGenerator().sample(30));
    SheetView view;
    ASSERT_TRUE(ImportCommand::run(path, view.sheet()).succeeded());
    std::vector<int> widths;
    for (int col = 1; col <= 21; ++col)
        widths.push_back(view.columnWidth(col - 1));

    view.sheet().SetSelection(1, 1, 10, 21);
    view.sheet().DeleteSelection(3);
    for (const int col : GetParam().hidden)
        view.sheet().SetColumnsHidden(col, col, true);

    int visibleLength = 0;
    for (int col = 1; col <= 21; ++col) {
        const bool hidden = std::count(GetParam().hidden.begin(), GetParam().hidden.end(), col);
        EXPECT_EQ(view.isColumnHidden(col - 1), hidden) << col;
        if (!hidden) {
            EXPECT_EQ(view.columnWidth(col - 1), widths[std::size_t(col - 1)]) << col;
            visibleLength += widths[std::size_t(col - 1)];
        }
    }
    EXPECT_EQ(view.horizontalHeader()->length(), visibleLength);

    ASSERT_TRUE(ImportCommand::run(path, view.sheet()).succeeded());
    for (int col = 1; col <= 21; ++col) {
        EXPECT_FALSE(view.isColumnHidden(col - 1)) << col;
        EXPECT_EQ(view.columnWidth(col - 1), widths[std::size_t(col - 1)]) << col;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, SheetViewHidden,
                         ::testing::Values(Optimisation{"None", {}},
                                           Optimisation{"One", {11}},
                                           Optimisation{"Several", {5, 6, 8, 12, 19}},
                                           Optimisation{"AllCodes", {5,  6,  7,  8,  9,  10,
                                                                     11, 12, 13, 14, 15, 16,
                                                                     17, 18, 19, 20, 21}}),
                         [](const auto& info) { return std::string(info.param.name); });

struct Copy
{
    const char* name;
    Rows rows;
    std::vector<int> hidden;
    CellRange selection;
    const char* clipboard;
};

class SheetViewCopy : public ::testing::TestWithParam<Copy>
{};

TEST_P(SheetViewCopy, CtrlCPutsTabSeparatedText)
{
    const Copy& c = GetParam();
    SheetView view;
    fill(view.sheet(), c.rows);
    for (const int col : c.hidden)
        view.sheet().SetColumnsHidden(col, col, true);
    view.sheet().SetSelection(c.selection.row1, c.selection.col1, c.selection.row2,
                              c.selection.col2);
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::keySequence(&view, QKeySequence::Copy);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8(c.clipboard));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SheetViewCopy,
    ::testing::Values(
        Copy{"LeadingZeroKept", {{"01234567890", "x"}}, {}, {1, 1, 1, 1}, "01234567890\n"},
        Copy{"Rectangle",
             {{"a", "b", "c"}, {"d", "e", "f"}, {"g", "h", "i"}},
             {},
             {2, 2, 3, 3},
             "e\tf\nh\ti\n"},
        Copy{"HiddenSkipped", {{"a", "b", "c"}, {"d", "e", "f"}}, {2}, {1, 1, 2, 3},
             "a\tc\nd\tf\n"},
        Copy{"EmptyCellsKeepTheirPlace", {{"a", "", "c"}, {}, {"g"}}, {}, {1, 1, 3, 3},
             "a\t\tc\n\t\t\ng\t\t\n"},
        Copy{"PastTheSheetLeftOut", {{"a", "b"}}, {}, {1, 1, 5, 2}, "a\tb\n"},
        Copy{"Accents", {{"JOÃO", "Página"}}, {}, {1, 1, 1, 2}, "JOÃO\tPágina\n"},
        Copy{"SpecialCellsQuoted",
             {{"tab\there", "two\nlines", "say \"oi\"", "plain"}},
             {},
             {1, 1, 1, 4},
             "\"tab\there\"\t\"two\nlines\"\t\"say \"\"oi\"\"\"\tplain\n"},
        Copy{"NothingSelected", {{"a"}}, {}, {1, 1, 0, 1}, "before"},
        Copy{"AllHidden", {{"a", "b"}}, {1, 2}, {1, 1, 1, 2}, "before"}),
    [](const auto& info) { return std::string(info.param.name); });

struct UserSelection
{
    const char* name;
    std::function<void(SheetView&)> act;
    CellRange expected;
};

QPoint cellCentre(SheetView& view, int row, int col)
{
    return view.visualRect(view.model()->index(row - 1, col - 1)).center();
}

class SheetViewSelection : public ::testing::TestWithParam<UserSelection>
{};

TEST_P(SheetViewSelection, UserSelectionBecomesTheSheets)
{
    SheetView view;
    fill(view.sheet(), Rows(8, {"a", "b", "c", "d", "e"}));
    showView(view);
    QSignalSpy sheetSelections(&view.sheet(), &ResultSheet::selectionChanged);
    GetParam().act(view);
    EXPECT_EQ(view.sheet().Selection(), GetParam().expected);
    EXPECT_GE(sheetSelections.count(), 1);

    // And back: the sheet's selection shows in the grid, without bouncing.
    QSignalSpy viewSelections(view.selectionModel(), &QItemSelectionModel::selectionChanged);
    sheetSelections.clear();
    view.sheet().SetSelection(2, 2, 3, 4);
    EXPECT_EQ(sheetSelections.count(), 1);
    EXPECT_EQ(viewSelections.count(), 1);
    const QModelIndexList selected = view.selectionModel()->selectedIndexes();
    EXPECT_EQ(selected.size(), 6);
    EXPECT_EQ(view.currentIndex(), view.model()->index(1, 1));
}

INSTANTIATE_TEST_SUITE_P(
    Actions, SheetViewSelection,
    ::testing::Values(
        UserSelection{"Click",
                      [](SheetView& v) {
                          QTest::mouseClick(v.viewport(), Qt::LeftButton, {}, cellCentre(v, 3, 2));
                      },
                      {3, 2, 3, 2}},
        UserSelection{"ShiftClick",
                      [](SheetView& v) {
                          QTest::mouseClick(v.viewport(), Qt::LeftButton, {}, cellCentre(v, 3, 2));
                          QTest::mouseClick(v.viewport(), Qt::LeftButton, Qt::ShiftModifier,
                                            cellCentre(v, 5, 4));
                      },
                      {3, 2, 5, 4}},
        UserSelection{"ShiftArrows",
                      [](SheetView& v) {
                          QTest::mouseClick(v.viewport(), Qt::LeftButton, {}, cellCentre(v, 2, 1));
                          QTest::keyClick(&v, Qt::Key_Down, Qt::ShiftModifier);
                          QTest::keyClick(&v, Qt::Key_Right, Qt::ShiftModifier);
                      },
                      {2, 1, 3, 2}},
        UserSelection{"ColumnHeading",
                      [](SheetView& v) {
                          QHeaderView* h = v.horizontalHeader();
                          QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                                            QPoint(h->sectionViewportPosition(2) + 5, 5));
                      },
                      {1, 3, 8, 3}},
        UserSelection{"SelectAll",
                      [](SheetView& v) { QTest::keySequence(&v, QKeySequence::SelectAll); },
                      {1, 1, 8, 21}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SheetViewFollows, SelectionsAndActiveCellFromCommands)
{
    SheetView view;
    fill(view.sheet(), Rows(2000, {"a", "b"}));
    showView(view);
    const auto shown = [&view](int row) {
        return view.viewport()->rect().intersects(
            view.visualRect(view.model()->index(row - 1, 0)));
    };
    // The printer button selects past the last row; the grid shows what exists.
    view.sheet().SetSelection(1, 1, 2010, 25);
    EXPECT_TRUE(view.selectionModel()->isRowSelected(1999, {}));
    EXPECT_TRUE(view.selectionModel()->isColumnSelected(20, {}));
    // A selection alone does not scroll; the active cell does.
    view.sheet().SetSelection(1800, 1, 1800, 1);
    EXPECT_FALSE(shown(1800));
    view.sheet().SetActiveCell(1500, 2);
    EXPECT_TRUE(shown(1500));
    view.sheet().SetActiveCell(1, 1);
    EXPECT_TRUE(shown(1));
    // A reset keeps the sheet's selection on show.
    view.sheet().SetSelection(5, 1, 6, 2);
    view.sheet().SetRowCount(10);
    EXPECT_EQ(view.selectionModel()->selectedIndexes().size(), 4);
}

TEST(SheetViewFollows, UserCannotWriteCells)
{
    SheetView view;
    fill(view.sheet(), {{"01234567890"}});
    showView(view);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, cellCentre(view, 1, 1));
    QTest::keyClick(&view, Qt::Key_F2);
    QTest::keyClicks(&view, QStringLiteral("99"));
    QTest::keyClick(&view, Qt::Key_Return);
    QTest::keyClick(&view, Qt::Key_Delete);
    EXPECT_TRUE(view.findChildren<QLineEdit*>().isEmpty());
    EXPECT_EQ(view.sheet().CellText(1, 1), QStringLiteral("01234567890"));
}

struct PrintSetting
{
    const char* name;
    std::function<QVariant(const SheetTemplate::PrintSettings&)> value;
    QVariant expected;
};

class SheetTemplatePrint : public ::testing::TestWithParam<PrintSetting>
{};

TEST_P(SheetTemplatePrint, HoldsTheTemplatesSetting)
{
    EXPECT_EQ(GetParam().value(SheetTemplate::printSettings()), GetParam().expected);
}

using PS = SheetTemplate::PrintSettings;
INSTANTIATE_TEST_SUITE_P(
    Settings, SheetTemplatePrint,
    ::testing::Values(
        PrintSetting{"Header", [](const PS& s) { return QVariant(s.header); },
                     QVariant(QStringLiteral("&A"))},
        PrintSetting{"Footer", [](const PS& s) { return QVariant(s.footer); },
                     QVariant(QStringLiteral("P\u00e1gina &P"))},
        PrintSetting{"Margins",
                     [](const PS& s) {
                         return QVariant(QVariantList{s.leftMargin, s.rightMargin, s.topMargin,
                                                       s.bottomMargin, s.headerMargin,
                                                       s.footerMargin});
                     },
                     QVariant(QVariantList{0.75, 0.75, 1.0, 1.0, 0.5, 0.5})},
        PrintSetting{"Paper",
                     [](const PS& s) {
                         return QVariant(QVariantList{s.paperSizeCode, s.landscape,
                                                    s.blackAndWhite, s.scalePercent,
                                                    s.firstPageNumber, s.copies});
                     },
                     QVariant(QVariantList{9, false, true, 100, 1, 1})},
        PrintSetting{"HeadingsAndGrid",
                     [](const PS& s) {
                         return QVariant(QVariantList{s.printRowHeadings, s.printColumnHeadings,
                                                     s.printGridlines});
                     },
                     QVariant(QVariantList{true, true, true})},
        PrintSetting{"Centring",
                     [](const PS& s) {
                         return QVariant(QVariantList{s.centerHorizontally, s.centerVertically});
                     },
                     QVariant(QVariantList{true, false})}),
    [](const auto& info) { return std::string(info.param.name); });
} // namespace
