#pragma once

#include "sheet/grid/leafaccessible.h"

#include <QAccessibleInterface>
#include <QPointer>

class SheetView;

// A cell of the grid's table, or a column's heading (row -1), read live from
// the grid: the interface stands for a place, and a filter or a sort puts
// another row's cell there.
class CellAccessible final : public LeafAccessible, public QAccessibleTableCellInterface
{
public:
    CellAccessible(SheetView* view, int row, int column);

    bool isValid() const override;
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QString text(QAccessible::Text t) const override;
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    bool isSelected() const override;
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return column_; }
    int rowIndex() const override { return row_; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override;

private:
    QPointer<SheetView> view_;
    int row_;
    int column_;
};
