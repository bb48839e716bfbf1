#include "sheet/grid/sheetmodel.h"

#include "sheet/grid/sheetstyle.h"
#include "sheet/resultsheet.h"
#include "sheet/sheettemplate.h"

#include <QStringList>

SheetModel::SheetModel(const ResultSheet& sheet, QObject* parent)
    : QAbstractTableModel(parent), sheet_(sheet)
{
    connect(&sheet_, &ResultSheet::sheetAboutToBeReset, this, &SheetModel::beginResetModel);
    connect(&sheet_, &ResultSheet::sheetReset, this, &SheetModel::endResetModel);
    connect(&sheet_, &ResultSheet::shownRowsAboutToChange, this, &SheetModel::beginResetModel);
    connect(&sheet_, &ResultSheet::shownRowsChanged, this, &SheetModel::endResetModel);
    connect(&sheet_, &ResultSheet::cellChanged, this, &SheetModel::cellChanged);
}

SheetModel::~SheetModel() = default;

int SheetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : sheet_.ShownRowCount();
}

int SheetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : sheet_.ColCount();
}

QVariant SheetModel::data(const QModelIndex& index, int role) const
{
    if (!holds(index))
        return {};
    switch (role) {
    case Qt::DisplayRole:
        // As stored: a CPF such as "01234567890" is text and keeps its zero.
        // Only the start that can show: the view lays out all it is given, on
        // every paint. Copying reads the sheet, whole.
        return sheet_.CellTextStart(sheet_.ShownRow(index.row() + 1), index.column() + 1,
                                    SheetTemplate::kMostCharsShown);
    case Qt::TextAlignmentRole:
        return static_cast<int>(SheetStyle::kCellAlignment);
    default:
        return {};
    }
}

QVariant SheetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    const int count = orientation == Qt::Horizontal ? sheet_.ColCount() : sheet_.ShownRowCount();
    if (section < 0 || section >= count)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        // Columns past the template's have no heading and show none.
        return orientation == Qt::Horizontal ? SheetTemplate::heading(section + 1)
                                             : QString::number(section + 1);
    case Qt::TextAlignmentRole:
        return static_cast<int>(Qt::AlignCenter);
    case Qt::AccessibleDescriptionRole:
        if (orientation == Qt::Horizontal)
            return headingState(section + 1);
        return {};
    default:
        return {};
    }
}

QString SheetModel::headingState(int col) const
{
    QStringList state;
    if (sheet_.SortColumn() == col)
        state << (sheet_.SortDirection() == RowSort::Direction::Ascending
                      ? QStringLiteral("classificada A→Z")
                      : QStringLiteral("classificada Z→A"));
    const auto& filtered = sheet_.Filter().columns();
    if (const auto texts = filtered.find(col); texts != filtered.end()) {
        const auto count = static_cast<qlonglong>(texts->second.size());
        state << QStringLiteral("filtrada: %1 %2")
                     .arg(SheetTemplate::locale().toString(count),
                          count == 1 ? QStringLiteral("valor") : QStringLiteral("valores"));
    }
    return state.join(QStringLiteral(", "));
}

Qt::ItemFlags SheetModel::flags(const QModelIndex& index) const
{
    if (!holds(index))
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

bool SheetModel::holds(const QModelIndex& index) const
{
    // Views ask for stale or foreign indexes now and then; they get nothing.
    return index.isValid() && index.model() == this && index.row() < sheet_.ShownRowCount() &&
           index.column() < sheet_.ColCount();
}

void SheetModel::cellChanged(int row, int col)
{
    if (sheet_.ShowsEveryRowInOrder()) {
        const QModelIndex cell = index(row - 1, col - 1);
        Q_EMIT dataChanged(cell, cell, {Qt::DisplayRole});
        return;
    }
    // Where the row shows is not kept: its column is repainted, which costs
    // no more than a screenful.
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0, col - 1), index(rowCount() - 1, col - 1), {Qt::DisplayRole});
}
