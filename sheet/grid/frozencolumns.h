#pragma once

#include <QTableView>

class SheetHeader;

// The grid's first columns kept in view while the others scroll, as a
// spreadsheet's frozen panes: a second view of the same model and the same
// selection laid over the grid's left edge, scrolled down with it and never
// across. It only draws: what the mouse does on its cells is handed to the
// grid under it, which takes them as the frozen cells, so a selection starts,
// grows and ends across the frozen edge as anywhere else. Its headings are
// the grid's too, with their buttons. Screen readers know its cells as the
// grid's: it tells them nothing of its own.
class FrozenColumns : public QTableView
{
    Q_OBJECT

public:
    // Shares `grid`'s model and selection; `header` takes the headings in
    // the grid's heading font. Made once the grid has its template's looks.
    FrozenColumns(QTableView& grid, SheetHeader* header);

    // The width the frozen columns take, 0 when every one is hidden.
    int columnsWidth() const;
    // Follows the grid's column widths, hidden columns and row height, and
    // lies over its left edge.
    void follow();

protected:
    bool viewportEvent(QEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;

private:
    QTableView& grid_;
};
