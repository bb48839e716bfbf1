#include "sheet/grid/sheetaccessible.h"

#include "sheet/grid/cellaccessible.h"
#include "sheet/grid/sheetview.h"
#include "sheet/grid/statusaccessible.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>

namespace {
qint64 key(int row, int column)
{
    return (qint64(row) + 1) << 32 | quint32(column);
}
} // namespace

SheetAccessible::SheetAccessible(SheetView* view) : QAccessibleWidget(view, QAccessible::Table) {}

SheetAccessible::~SheetAccessible()
{
    forgetCells();
}

QAccessibleInterface* SheetAccessible::create(const QString& className, QObject* object)
{
    if (className == QLatin1String("SheetView"))
        return new SheetAccessible(static_cast<SheetView*>(object));
    if (className == QLatin1String("QLabel")) {
        auto* label = static_cast<QLabel*>(object);
        for (QObject* up = label->parent(); up; up = up->parent()) {
            if (auto* view = qobject_cast<SheetView*>(up))
                return view->statusLine() == label ? new StatusAccessible(label, view) : nullptr;
        }
    }
    return nullptr;
}

int SheetAccessible::childIndex(const QModelIndex& index)
{
    return (index.row() + 1) * index.model()->columnCount() + index.column();
}

SheetView* SheetAccessible::view() const
{
    return static_cast<SheetView*>(widget());
}

void* SheetAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

int SheetAccessible::columnCount() const
{
    return view()->model()->columnCount();
}

int SheetAccessible::rowCount() const
{
    return view()->model()->rowCount();
}

// The headings' row, then the rows of cells.
int SheetAccessible::childCount() const
{
    return columnCount() * (rowCount() + 1);
}

QAccessibleInterface* SheetAccessible::child(int index) const
{
    const int columns = columnCount();
    if (index < 0 || index >= childCount())
        return nullptr;
    return cell(index / columns - 1, index % columns);
}

int SheetAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    if (!child)
        return -1;
    const auto* cell = dynamic_cast<const CellAccessible*>(child);
    if (!cell || cell->table() != this)
        return -1;
    return (cell->rowIndex() + 1) * columnCount() + cell->columnIndex();
}

QAccessibleInterface* SheetAccessible::childAt(int x, int y) const
{
    const QPoint at = view()->viewport()->mapFromGlobal(QPoint(x, y));
    const QModelIndex index = view()->indexAt(at);
    if (index.isValid() && view()->viewport()->rect().contains(at))
        return cell(index.row(), index.column());
    return QAccessibleWidget::childAt(x, y);
}

QAccessibleInterface* SheetAccessible::focusChild() const
{
    const QModelIndex current = view()->currentIndex();
    return view()->hasFocus() && current.isValid() ? cell(current.row(), current.column())
                                                   : nullptr;
}

QAccessibleInterface* SheetAccessible::cellAt(int row, int column) const
{
    return row >= 0 ? cell(row, column) : nullptr;
}

QAccessibleInterface* SheetAccessible::cell(int row, int column) const
{
    if (row < -1 || row >= rowCount() || column < 0 || column >= columnCount())
        return nullptr;
    const qint64 at = key(row, column);
    if (const auto found = cells_.constFind(at); found != cells_.cend())
        return QAccessible::accessibleInterface(found.value());
    auto* made = new CellAccessible(view(), row, column);
    cells_.insert(at, QAccessible::registerAccessibleInterface(made));
    return made;
}

int SheetAccessible::selectedCellCount() const
{
    return int(view()->selectionModel()->selectedIndexes().size());
}

QList<QAccessibleInterface*> SheetAccessible::selectedCells() const
{
    QList<QAccessibleInterface*> selected;
    for (const QModelIndex& index : view()->selectionModel()->selectedIndexes())
        selected.append(cell(index.row(), index.column()));
    return selected;
}

QString SheetAccessible::columnDescription(int column) const
{
    return view()->model()->headerData(column, Qt::Horizontal).toString();
}

QString SheetAccessible::rowDescription(int row) const
{
    return view()->model()->headerData(row, Qt::Vertical).toString();
}

void SheetAccessible::modelChange(QAccessibleTableModelChangeEvent*)
{
    // The grid's model only ever resets: every place may hold another cell.
    forgetCells();
}

void SheetAccessible::forgetCells()
{
    for (const QAccessible::Id id : std::as_const(cells_))
        QAccessible::deleteAccessibleInterface(id);
    cells_.clear();
}
