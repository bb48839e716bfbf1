#include "sheet/grid/cellaccessible.h"

#include "sheet/grid/sheetaccessible.h"
#include "sheet/grid/sheetview.h"

#include <QHeaderView>
#include <QItemSelectionModel>

CellAccessible::CellAccessible(SheetView* view, int row, int column)
    : view_(view), row_(row), column_(column)
{
}

bool CellAccessible::isValid() const
{
    return view_ && row_ < view_->model()->rowCount() && column_ < view_->model()->columnCount();
}

QWindow* CellAccessible::window() const
{
    return view_ ? view_->window()->windowHandle() : nullptr;
}

QAccessibleInterface* CellAccessible::parent() const
{
    return view_ ? QAccessible::queryAccessibleInterface(view_.data()) : nullptr;
}

QAccessibleInterface* CellAccessible::table() const
{
    return parent();
}

QString CellAccessible::text(QAccessible::Text t) const
{
    if (!isValid())
        return {};
    const QAbstractItemModel* model = view_->model();
    const QString heading = model->headerData(column_, Qt::Horizontal).toString();
    if (row_ < 0) {
        // A heading says its column, and in its description how the rows
        // are sorted and filtered by it.
        if (t == QAccessible::Description)
            return model->headerData(column_, Qt::Horizontal, Qt::AccessibleDescriptionRole)
                .toString();
        return t == QAccessible::Name ? heading : QString();
    }
    switch (t) {
    case QAccessible::Name:
        return model->index(row_, column_).data().toString();
    case QAccessible::Description:
        // Where the cell is, as the headings around the grid show it.
        return QStringLiteral("%1, linha %2")
            .arg(heading, model->headerData(row_, Qt::Vertical).toString());
    default:
        return {};
    }
}

QRect CellAccessible::rect() const
{
    if (!isValid())
        return {};
    if (row_ < 0) {
        const QHeaderView* header = view_->horizontalHeader();
        const QRect section(header->sectionViewportPosition(column_), 0,
                            header->sectionSize(column_), header->height());
        return section.translated(header->mapToGlobal(QPoint(0, 0)));
    }
    const QRect cell = view_->visualRect(view_->model()->index(row_, column_));
    return cell.translated(view_->viewport()->mapToGlobal(QPoint(0, 0)));
}

QAccessible::Role CellAccessible::role() const
{
    return row_ < 0 ? QAccessible::ColumnHeader : QAccessible::Cell;
}

QAccessible::State CellAccessible::state() const
{
    QAccessible::State state;
    if (!isValid())
        return state;
    state.readOnly = true;
    if (view_->isColumnHidden(column_) || (row_ >= 0 && view_->isRowHidden(row_)) ||
        !rect().intersects(QRect(view_->mapToGlobal(QPoint(0, 0)), view_->size())))
        state.invisible = true;
    if (row_ < 0)
        return state;
    state.selectable = true;
    state.focusable = true;
    state.selected = isSelected();
    // The active cell is where the keys act only while the grid has them.
    state.focused =
        view_->hasFocus() && view_->currentIndex() == view_->model()->index(row_, column_);
    return state;
}

void* CellAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableCellInterface)
        return static_cast<QAccessibleTableCellInterface*>(this);
    return nullptr;
}

bool CellAccessible::isSelected() const
{
    return isValid() && row_ >= 0 &&
           view_->selectionModel()->isSelected(view_->model()->index(row_, column_));
}

QList<QAccessibleInterface*> CellAccessible::columnHeaderCells() const
{
    if (!isValid() || row_ < 0)
        return {};
    auto* sheet = dynamic_cast<SheetAccessible*>(table());
    QAccessibleInterface* heading = sheet ? sheet->cell(-1, column_) : nullptr;
    return heading ? QList<QAccessibleInterface*>{heading} : QList<QAccessibleInterface*>{};
}
