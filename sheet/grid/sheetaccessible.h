#pragma once

#include <QAccessibleWidget>
#include <QHash>

class CellAccessible;
class QModelIndex;
class SheetView;

// The grid as screen readers know it: one table, the frozen columns being
// its first columns and not a second table, with its column headings as a
// first row of cells; its status line (the count and the notices) is not
// in it but beside it, where screen readers look for a status bar. A cell says its text as its
// name, and its column heading and row number as its description, so that a cell reached by the
// keyboard is heard with where it is; it is focused only while the grid
// has the keyboard focus.
//
// Cells are made when asked for and kept until the rows change: a million
// rows are never walked.
class SheetAccessible final : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit SheetAccessible(SheetView* view);
    ~SheetAccessible() override;

    // Makes the accessible side of the grid's objects: the grid itself and
    // its status line. Installed once, by the first grid.
    static QAccessibleInterface* create(const QString& className, QObject* object);
    // Where the grid's cell at `index` is among the table's children.
    static int childIndex(const QModelIndex& index);

    void* interface_cast(QAccessible::InterfaceType type) override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    // The sheet has one rectangular selection, made from the keyboard.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

    // Row -1 is the headings' row.
    QAccessibleInterface* cell(int row, int column) const;

private:
    SheetView* view() const;
    void forgetCells();

    mutable QHash<qint64, QAccessible::Id> cells_; // (row + 1, column) to the cell's id
};
