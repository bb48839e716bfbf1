#include "sheet/grid/frozencolumns.h"

#include "sheet/grid/sheetheader.h"
#include "sheet/resultsheet.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

FrozenColumns::FrozenColumns(QTableView& grid, SheetHeader* header) : QTableView(&grid), grid_(grid)
{
    setObjectName(QStringLiteral("frozenColumns"));
    setHorizontalHeader(header);
    setModel(grid.model());
    setSelectionModel(grid.selectionModel());
    setFocusPolicy(Qt::NoFocus);
    // The grid decides what scrolls into sight; this follows its scroll bar.
    setAutoScroll(false);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Its headings select as the grid's do: one rectangle.
    setSelectionMode(grid.selectionMode());
    setSelectionBehavior(grid.selectionBehavior());
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setFont(grid.font());
    header->setFont(grid.horizontalHeader()->font());
    header->setDefaultAlignment(grid.horizontalHeader()->defaultAlignment());
    verticalHeader()->hide();
    // Under the grid's scroll bars, which stay the grid's.
    grid.viewport()->stackUnder(this);

    connect(grid.verticalScrollBar(), &QScrollBar::valueChanged, verticalScrollBar(),
            &QScrollBar::setValue);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, grid.verticalScrollBar(),
            &QScrollBar::setValue);
}

int FrozenColumns::columnsWidth() const
{
    int width = 0;
    for (int col = 0; col < std::min(ResultSheet::kFrozenColumns, model()->columnCount()); ++col) {
        if (!isColumnHidden(col))
            width += columnWidth(col);
    }
    return width;
}

void FrozenColumns::follow()
{
    const QHeaderView* columns = grid_.horizontalHeader();
    const QHeaderView* rows = grid_.verticalHeader();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(rows->defaultSectionSize());
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    for (int col = 0; col < model()->columnCount(); ++col) {
        setColumnHidden(col, col >= ResultSheet::kFrozenColumns || grid_.isColumnHidden(col));
        if (col < ResultSheet::kFrozenColumns)
            setColumnWidth(col, grid_.columnWidth(col));
    }
    horizontalHeader()->setFixedHeight(columns->height());
    const int frame = grid_.frameWidth();
    // The gridline at its right edge shows where the frozen part ends.
    setGeometry(frame + (rows->isVisible() ? rows->width() : 0), frame, columnsWidth() + 1,
                grid_.viewport()->height() + columns->height());
    verticalScrollBar()->setValue(grid_.verticalScrollBar()->value());
}

bool FrozenColumns::viewportEvent(QEvent* event)
{
    // The grid is asked only for the events handed on: others come while it
    // is being destroyed too.
    auto target = [this] { return grid_.viewport(); };
    auto toGrid = [&](QPointF global) { return target()->mapFromGlobal(global); };
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        QMouseEvent handed(mouse->type(), toGrid(mouse->globalPosition()), mouse->scenePosition(),
                           mouse->globalPosition(), mouse->button(), mouse->buttons(),
                           mouse->modifiers(), mouse->pointingDevice());
        QCoreApplication::sendEvent(target(), &handed);
        return true;
    }
    case QEvent::Wheel: {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        QWheelEvent handed(toGrid(wheel->globalPosition()), wheel->globalPosition(),
                           wheel->pixelDelta(), wheel->angleDelta(), wheel->buttons(),
                           wheel->modifiers(), wheel->phase(), wheel->inverted(), wheel->source(),
                           wheel->pointingDevice());
        QCoreApplication::sendEvent(target(), &handed);
        return true;
    }
    case QEvent::ContextMenu: {
        const auto* menu = static_cast<QContextMenuEvent*>(event);
        QContextMenuEvent handed(menu->reason(), toGrid(menu->globalPos()).toPoint(),
                                 menu->globalPos(), menu->modifiers());
        QCoreApplication::sendEvent(target(), &handed);
        return true;
    }
    default:
        return QTableView::viewportEvent(event);
    }
}

// Past the table view's, which would report the grid's moves a second time,
// from a table screen readers do not know.
void FrozenColumns::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QAbstractItemView::currentChanged(current, previous);
}

void FrozenColumns::selectionChanged(const QItemSelection& selected,
                                     const QItemSelection& deselected)
{
    QAbstractItemView::selectionChanged(selected, deselected);
}
