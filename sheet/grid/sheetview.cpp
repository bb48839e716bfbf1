#include "sheet/grid/sheetview.h"

#include "sheet/grid/selectiontext.h"
#include "sheet/grid/sheetfinder.h"
#include "sheet/grid/sheetmodel.h"
#include "sheet/grid/sheetstyle.h"
#include "sheet/resultsheet.h"
#include "sheet/sheettemplate.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QScopedValueRollback>

#include <algorithm>

SheetView::SheetView(QWidget* parent)
    : QTableView(parent), sheet_(new ResultSheet(this)), model_(new SheetModel(*sheet_, this)),
      // Only while the grid has the focus: Ctrl+C in the path box copies there.
      copy_(addMenuAction(QStringLiteral("Copiar"), QKeySequence::Copy, Qt::WidgetShortcut)),
      // Saving and finding act on the sheet wherever the focus is in its window.
      save_(addMenuAction(QStringLiteral("Salvar como…"), QKeySequence(Qt::CTRL | Qt::Key_S),
                          Qt::WindowShortcut)),
      find_(addMenuAction(QStringLiteral("Localizar…"), QKeySequence(Qt::CTRL | Qt::Key_F),
                          Qt::WindowShortcut)),
      findNext_(addMenuAction(QStringLiteral("Localizar próxima"), QKeySequence(Qt::Key_F3),
                              Qt::WindowShortcut))
{
    setModel(model_);
    applyTemplate();
    setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(copy_, &QAction::triggered, this, &SheetView::copySelection);
    connect(save_, &QAction::triggered, this, &SheetView::saveRequested);
    connect(find_, &QAction::triggered, this, &SheetView::findRequested);
    connect(findNext_, &QAction::triggered, this, &SheetView::findNextRequested);
    // Connected after setModel, so the headers have taken the new counts
    // before the template's widths and the hidden columns are laid on them.
    connect(model_, &QAbstractItemModel::modelReset, this, &SheetView::followReset);
    connect(sheet_, &ResultSheet::columnsHiddenChanged, this, &SheetView::followHiddenColumns);
    connect(sheet_, &ResultSheet::selectionChanged, this, &SheetView::showSheetSelection);
    connect(sheet_, &ResultSheet::activeCellChanged, this, &SheetView::scrollToCell);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &SheetView::takeViewSelection);
    followReset();
}

SheetView::~SheetView() = default;

QAction* SheetView::addMenuAction(const QString& text, const QKeySequence& keys,
                                  Qt::ShortcutContext context)
{
    auto* action = new QAction(text, this);
    action->setShortcut(keys);
    action->setShortcutContext(context);
    action->setShortcutVisibleInContextMenu(true);
    addAction(action);
    return action;
}

void SheetView::applyTemplate()
{
    setFont(SheetStyle::cellFont());
    setLocale(SheetStyle::locale());
    setAccessibleName(SheetTemplate::sheetName());
    setShowGrid(true);
    setCornerButtonEnabled(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The sheet has one rectangular selection, so the grid offers no other.
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    // Cells are cut at their border as in a spreadsheet, never wrapped or
    // ended with an ellipsis.
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);

    digitWidth_ = SheetStyle::digitWidthPixels(*this);
    const int rowHeight = SheetStyle::rowHeightPixels(logicalDpiY());
    for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
        header->setVisible(true);
        header->setFont(SheetStyle::standardFont());
        header->setDefaultAlignment(Qt::AlignCenter);
        // The style's minimum is taller than the template's rows.
        header->setMinimumSectionSize(1);
        // Fixed: nothing measures a million rows' contents, and the widths
        // stay the template's.
        header->setSectionResizeMode(QHeaderView::Fixed);
    }
    verticalHeader()->setDefaultSectionSize(rowHeight);
    horizontalHeader()->setDefaultSectionSize(
        SheetStyle::columnWidthPixels(SheetTemplate::kColumns + 1, digitWidth_));
}

void SheetView::followReset()
{
    QHeaderView* header = horizontalHeader();
    const int columns = std::min(model_->columnCount(), SheetTemplate::kColumns);
    for (int col = 1; col <= columns; ++col)
        header->resizeSection(col - 1, SheetStyle::columnWidthPixels(col, digitWidth_));
    followHiddenColumns(1, model_->columnCount());
    showSheetSelection();
}

void SheetView::followHiddenColumns(int col1, int col2)
{
    const int last = std::min(col2, model_->columnCount());
    for (int col = std::max(col1, 1); col <= last; ++col)
        setColumnHidden(col - 1, sheet_->IsColumnHidden(col));
}

void SheetView::showSheetSelection()
{
    if (syncingSelection_)
        return;
    const QScopedValueRollback syncing(syncingSelection_, true);
    const CellRange range = sheet_->Selection();
    const int row2 = std::min(range.row2, model_->rowCount());
    const int col2 = std::min(range.col2, model_->columnCount());
    QItemSelection selection;
    if (range.row1 <= row2 && range.col1 <= col2)
        selection.select(model_->index(range.row1 - 1, range.col1 - 1),
                         model_->index(row2 - 1, col2 - 1));

    // A selection made by a command moves the active cell without scrolling;
    // only SetActiveCell asks for that.
    const bool autoScroll = hasAutoScroll();
    setAutoScroll(false);
    selectionModel()->setCurrentIndex(model_->index(range.row1 - 1, range.col1 - 1),
                                      QItemSelectionModel::NoUpdate);
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    setAutoScroll(autoScroll);
}

void SheetView::takeViewSelection()
{
    if (syncingSelection_)
        return;
    const QScopedValueRollback syncing(syncingSelection_, true);
    const QItemSelection selection = selectionModel()->selection();
    if (selection.isEmpty()) {
        // Nothing selected: an empty range at the active cell.
        const QModelIndex current = currentIndex();
        const int row = current.isValid() ? current.row() + 1 : 1;
        const int col = current.isValid() ? current.column() + 1 : 1;
        sheet_->SetSelection(row, col, row - 1, col - 1);
        return;
    }
    int top = selection.front().top();
    int left = selection.front().left();
    int bottom = selection.front().bottom();
    int right = selection.front().right();
    for (const QItemSelectionRange& part : selection) {
        top = std::min(top, part.top());
        left = std::min(left, part.left());
        bottom = std::max(bottom, part.bottom());
        right = std::max(right, part.right());
    }
    sheet_->SetSelection(top + 1, left + 1, bottom + 1, right + 1);
}

void SheetView::scrollToCell(int row, int col)
{
    const QModelIndex cell = model_->index(row - 1, col - 1);
    if (cell.isValid())
        scrollTo(cell);
}

void SheetView::copySelection() const
{
    const QString text = SelectionText::of(*sheet_, sheet_->Selection());
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

SheetView::Found SheetView::find(const QString& text)
{
    const QModelIndex current = currentIndex();
    const int row = current.isValid() ? current.row() + 1 : 1;
    // Before the first cell, so that the search starts with it.
    const int col = current.isValid() ? current.column() + 1 : 0;
    const std::optional<SheetFinder::Cell> hit = SheetFinder(text).findAfter(*sheet_, row, col);
    if (!hit)
        return Found::Nothing;
    sheet_->SetActiveCell(hit->row, hit->col);
    return hit->wrapped ? Found::AfterTheTop : Found::Below;
}

void SheetView::keyPressEvent(QKeyEvent* event)
{
    // The base class would copy the current cell alone.
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}
