#include "processing/importcommand.h"
#include "sheet/grid/sheetmodel.h"
#include "sheet/resultsheet.h"
#include "tests/support/casename.h"
#include "tests/support/testfiles.h"
#include "tools/returnfilegenerator.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {
// While one lives, what QAbstractItemModelTester reports becomes a gtest failure.
class ModelTesterFailures
{
public:
    ModelTesterFailures() { previous_ = qInstallMessageHandler(&handle); }
    ~ModelTesterFailures() { qInstallMessageHandler(previous_); }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        if (type != QtDebugMsg && context.category &&
            std::strcmp(context.category, "qt.modeltest") == 0)
            ADD_FAILURE() << "qt.modeltest: " << text.toStdString();
        else if (previous_)
            previous_(type, context, text);
    }
    static inline QtMessageHandler previous_ = nullptr;
};

using Tester = QAbstractItemModelTester;
constexpr auto kWarn = QAbstractItemModelTester::FailureReportingMode::Warning;

class BadAlignmentModel : public QAbstractTableModel
{
public:
    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 1; }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 1; }
    QVariant data(const QModelIndex&, int role) const override
    {
        return role == Qt::TextAlignmentRole ? QVariant(0x7fff0000) : QVariant();
    }
};

TEST(SheetModelTester, ComplaintsReachGtest)
{
    EXPECT_NONFATAL_FAILURE(
        {
            BadAlignmentModel bad;
            const ModelTesterFailures failures;
            Tester tester(&bad, kWarn);
        },
        "qt.modeltest");
}

struct SheetChange
{
    const char* name;
    std::function<void(ResultSheet&)> change;
    int resets;
    int cellSignals;
};

class SheetModelFollows : public ::testing::TestWithParam<SheetChange>
{
};

TEST_P(SheetModelFollows, OneResetPerBulkChange)
{
    TestFiles files;
    ResultSheet sheet;
    const std::string file = ReturnFileGenerator().sample(12);
    ASSERT_TRUE(ImportCommand::run(files.write(QStringLiteral("r.txt"), file), sheet).succeeded());
    SheetModel model(sheet);
    const ModelTesterFailures failures;
    Tester tester(&model, kWarn);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy cells(&model, &QAbstractItemModel::dataChanged);

    GetParam().change(sheet);

    EXPECT_EQ(resets.count(), GetParam().resets);
    EXPECT_EQ(cells.count(), GetParam().cellSignals);
    ASSERT_EQ(model.rowCount(), sheet.RowCount());
    ASSERT_EQ(model.columnCount(), sheet.ColCount());
    for (int row = 0; row < model.rowCount(); ++row)
        for (int col = 0; col < model.columnCount(); ++col)
            ASSERT_EQ(model.index(row, col).data().toString(), sheet.CellText(row + 1, col + 1));
}

INSTANTIATE_TEST_SUITE_P(
    Changes, SheetModelFollows,
    ::testing::Values(
        SheetChange{"Reimport",
                    [](ResultSheet& s) {
                        TestFiles f;
                        const std::string file = ReturnFileGenerator().sample(40);
                        ImportCommand::run(f.write(QStringLiteral("b.txt"), file), s);
                    },
                    1, 0},
        SheetChange{"RowCount", [](ResultSheet& s) { s.SetRowCount(3); }, 1, 0},
        SheetChange{"SameRowCount", [](ResultSheet& s) { s.SetRowCount(s.RowCount()); }, 0, 0},
        SheetChange{"DeleteRows",
                    [](ResultSheet& s) {
                        s.SetSelection(2, 1, 4, s.ColCount());
                        s.DeleteSelection(3);
                    },
                    1, 0},
        SheetChange{"Cell", [](ResultSheet& s) { s.SetCellText(2, 3, QStringLiteral("Zé")); }, 0,
                    1},
        SheetChange{"CellBelow", [](ResultSheet& s) { s.SetCellText(99, 1, QStringLiteral("x")); },
                    0, 0},
        SheetChange{"CellWidens", [](ResultSheet& s) { s.SetCellText(2, 30, QStringLiteral("x")); },
                    1, 0},
        SheetChange{"Hide", [](ResultSheet& s) { s.SetColumnsHidden(5, 21, true); }, 0, 0}),
    CaseName());

// A filter and a sort are one reset each, and the model reads the sheet's
// rows through them: the n-th shown row, numbered n.
TEST(SheetModelShownRows, MapsThroughFilterAndSort)
{
    ResultSheet sheet;
    const char* names[] = {"MARIA", "BRUNO", "ANA", "CARLA"};
    const char* checks[] = {"CPF cancelado", "OK", "CPF cancelado", "CPF cancelado"};
    for (int r = 0; r < 4; ++r) {
        sheet.SetCellText(r + 1, 3, QString::fromUtf8(names[r]));
        sheet.SetCellText(r + 1, 16, QString::fromUtf8(checks[r]));
    }
    sheet.SetRowCount(4);
    SheetModel model(sheet);
    const ModelTesterFailures failures;
    Tester tester(&model, kWarn);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);

    sheet.SetColumnFilter(16, {"CPF cancelado"});
    sheet.SortRows(3, RowSort::Direction::Ascending);
    EXPECT_EQ(resets.count(), 2);
    QStringList shown;
    for (int row = 0; row < model.rowCount(); ++row) {
        shown << model.index(row, 2).data().toString();
        EXPECT_EQ(model.headerData(row, Qt::Vertical).toInt(), row + 1);
    }
    EXPECT_EQ(shown, QStringList({QStringLiteral("ANA"), QStringLiteral("CARLA"),
                                  QStringLiteral("MARIA")}));

    // A cell of a row shown elsewhere than its place in the sheet is told.
    QSignalSpy cells(&model, &QAbstractItemModel::dataChanged);
    sheet.SetCellText(4, 3, QStringLiteral("CÁSSIA"));
    ASSERT_EQ(cells.count(), 1);
    const QModelIndex shownAt = model.index(1, 2);
    const auto first = cells.front().at(0).value<QModelIndex>();
    const auto last = cells.front().at(1).value<QModelIndex>();
    EXPECT_TRUE(first.row() <= shownAt.row() && shownAt.row() <= last.row());
    EXPECT_EQ(shownAt.data().toString(), QStringLiteral("CÁSSIA"));
}

class SheetModelCell : public ::testing::TestWithParam<const char*>
{
};

TEST_P(SheetModelCell, TextStaysTextReadOnlyBottomLeft)
{
    ResultSheet sheet;
    const QString text = QString::fromUtf8(GetParam());
    sheet.SetCellText(1, 1, text);
    sheet.SetRowCount(1);
    SheetModel model(sheet);
    const QModelIndex cell = model.index(0, 0);
    EXPECT_EQ(cell.data().typeId(), QMetaType::QString);
    EXPECT_EQ(cell.data().toString(), text);
    EXPECT_EQ(cell.data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignLeft | Qt::AlignBottom));
    EXPECT_EQ(cell.flags() & (Qt::ItemIsEditable | Qt::ItemIsSelectable), Qt::ItemIsSelectable);
}

INSTANTIATE_TEST_SUITE_P(Texts, SheetModelCell,
                         ::testing::Values("01234567890", "13111967", "1e5", "=1+1", " 0 "));

TEST(SheetModelHeadings, TemplateLabelsOverColumnsNumbersOverRows)
{
    ResultSheet sheet;
    SheetModel model(sheet);
    EXPECT_EQ(model.rowCount(), 0);
    QStringList headings;
    for (int col = 0; col < model.columnCount(); ++col)
        headings << model.headerData(col, Qt::Horizontal).toString();
    QStringList fields;
    for (const std::string_view name : ReturnFields::kNames)
        fields << QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    EXPECT_EQ(headings, fields);
    EXPECT_EQ(headings.removeDuplicates(), 0);

    sheet.SetCellText(3, 23, QStringLiteral("x"));
    sheet.SetRowCount(3);
    EXPECT_EQ(model.headerData(22, Qt::Horizontal).toString(), QString());
    EXPECT_EQ(model.headerData(2, Qt::Vertical).toString(), QStringLiteral("3"));
    EXPECT_FALSE(model.headerData(3, Qt::Vertical).isValid());
    const ModelTesterFailures failures;
    Tester tester(&model, kWarn);
}
} // namespace
