#include "sheet/grid/sheetview.h"

#include "sheet/grid/frozencolumns.h"
#include "sheet/grid/selectiontext.h"
#include "sheet/grid/sheetaccessible.h"
#include "sheet/grid/sheetfinder.h"
#include "sheet/grid/sheetheader.h"
#include "sheet/grid/sheetmodel.h"
#include "sheet/grid/sheetstyle.h"
#include "sheet/grid/waitcursor.h"
#include "sheet/resultsheet.h"
#include "sheet/returnfields.h"
#include "sheet/sheettemplate.h"

#include <QAccessible>
#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolTip>

#include <algorithm>
#include <new>
#include <stdexcept>

namespace {
// The least room beside the frozen part that keeps it, in characters of the
// standard font: a short message shows whole and a long one is gone through
// in a few steps. The window a clerk works in (900 px at 125 % and up) has
// more; half a screen at 125 %, or large fonts, leave less.
constexpr int kLeastRoomCharacters = 20;

QString sortFailure()
{
    return QStringLiteral("Memória insuficiente para classificar as linhas.");
}

QString filterFailure()
{
    return QStringLiteral("Memória insuficiente para filtrar as linhas.");
}
} // namespace

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
                              Qt::WindowShortcut)),
      // Ctrl+O is the folder button's: a folder of returns is the same key
      // with Shift.
      folderOverview_(addMenuAction(QStringLiteral("Visão geral de uma pasta…"),
                                    QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O),
                                    Qt::WindowShortcut)),
      comparison_(addMenuAction(QStringLiteral("Comparar com o retorno anterior…"),
                                QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C),
                                Qt::WindowShortcut)),
      showAll_(addMenuAction(QStringLiteral("Mostrar todos"), {}, Qt::WidgetShortcut)),
      freeze_(addMenuAction(QStringLiteral("Congelar CPF, NIS e NOME"), {}, Qt::WidgetShortcut)),
      header_(new SheetHeader(*sheet_, this)), frozen_(nullptr), count_(new QLabel(this))
{
    static const bool accessible = [] {
        QAccessible::installFactory(&SheetAccessible::create);
        return true;
    }();
    Q_UNUSED(accessible);
    setHorizontalHeader(header_);
    setModel(model_);
    applyTemplate();
    // After the template: it takes the grid's fonts and headings as they are.
    frozen_ = new FrozenColumns(*this, new SheetHeader(*sheet_));
    // The count sits where a spreadsheet keeps its sheet tabs: left of the
    // horizontal scroll bar, inside the grid, so no control moves for it.
    count_->setObjectName(QStringLiteral("contagem"));
    count_->setFont(SheetStyle::standardFont());
    count_->setContentsMargins(4, 0, 8, 0);
    addScrollBarWidget(count_, Qt::AlignLeft);
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    insertAction(showAll_, separator);
    freeze_->setCheckable(true);
    freeze_->setChecked(true);
    connect(showAll_, &QAction::triggered, this,
            [this] { changeRows([this] { sheet_->ClearFilters(); }, filterFailure()); });
    connect(freeze_, &QAction::toggled, this, &SheetView::setFrozen);
    for (SheetHeader* header : {header_, static_cast<SheetHeader*>(frozen_->horizontalHeader())})
        connect(header, &SheetHeader::menuRequested, this, [this](int logical, QPoint at) {
            QMenu* menu = columnMenu(logical + 1);
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->popup(at);
        });
    setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(copy_, &QAction::triggered, this, &SheetView::copySelection);
    connect(save_, &QAction::triggered, this, &SheetView::saveRequested);
    connect(find_, &QAction::triggered, this, &SheetView::findRequested);
    connect(findNext_, &QAction::triggered, this, &SheetView::findNextRequested);
    connect(folderOverview_, &QAction::triggered, this, &SheetView::folderOverviewRequested);
    connect(comparison_, &QAction::triggered, this, &SheetView::comparisonRequested);
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

SheetView::~SheetView()
{
    // Gone while the grid under it is whole: it is a view of the grid's model.
    delete frozen_;
}

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
    setLocale(SheetTemplate::locale());
    setAccessibleName(SheetTemplate::sheetName());
    setShowGrid(true);
    setCornerButtonEnabled(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // By pixels as far as the base class knows: the stops laid over it are
    // whole columns from the frozen edge, which its own whole columns (from
    // the left edge, under the frozen ones) are not.
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
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
        SheetStyle::columnWidthPixels(ReturnFields::kCount + 1, digitWidth_));
}

void SheetView::followReset()
{
    QHeaderView* header = horizontalHeader();
    const int columns = std::min(model_->columnCount(), ReturnFields::kCount);
    // The template's widths, grown where the heading beside its button needs
    // more; the saved workbook keeps the template's.
    for (int col = 1; col <= columns; ++col)
        header->resizeSection(col - 1, std::max(SheetStyle::columnWidthPixels(col, digitWidth_),
                                                header_->widthShowingHeading(col - 1)));
    followHiddenColumns(1, model_->columnCount());
    showAll_->setEnabled(!sheet_->Filter().isEmpty());
    showCount();
    showSheetSelection();
}

void SheetView::setRowNouns(const QString& one, const QString& many)
{
    one_ = one;
    many_ = many;
    // Said after every load and optimisation, the same count too: it is how
    // the clerk hears the command done.
    count_->setText(countText());
    announce(count_->text());
}

void SheetView::showCount()
{
    const QString text = countText();
    if (text == count_->text())
        return;
    count_->setText(text);
    announce(text);
}

void SheetView::announce(const QString& notice)
{
    if (notice.isEmpty())
        return;
    said_ = notice;
    // Once the command is done: a load or an optimisation changes the count
    // more than once on its way, and only where it ends is worth hearing.
    if (saying_)
        return;
    saying_ = true;
    QMetaObject::invokeMethod(this, &SheetView::sayNow, Qt::QueuedConnection);
}

void SheetView::sayNow()
{
    saying_ = false;
    QAccessibleInterface* line = QAccessible::queryAccessibleInterface(count_);
    QAccessibleInterface* said = line ? line->child(0) : nullptr;
    if (!said)
        return;
    // Named anew, or a screen reader speaks what it kept of the last one;
    // shown afresh each time, so that the same words twice are heard twice.
    QAccessibleEvent named(said, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    QAccessibleEvent shown(said, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

QString SheetView::countText() const
{
    if (many_.isEmpty())
        return {};
    const QLocale brazil = SheetTemplate::locale();
    const int all = sheet_->RowCount();
    if (!sheet_->Filter().isEmpty())
        return QStringLiteral("%1 de %2")
            .arg(brazil.toString(sheet_->ShownRowCount()), brazil.toString(all));
    return brazil.toString(all) + QLatin1Char(' ') + (all == 1 ? one_ : many_);
}

// Sorting a million rows takes a moment: the wait cursor says so. Memory
// may run out on the way, which the sheet survives as it was; nothing of it
// may leave through Qt's event loop, which would end the program.
void SheetView::changeRows(const std::function<void()>& change, const QString& failure)
{
    try {
        const WaitCursor wait;
        change();
        return;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    Q_EMIT memoryShort(failure);
}

QMenu* SheetView::columnMenu(int col)
{
    auto* menu = new QMenu(this);
    // A screen reader says whose menu opened; the eye sees it open under
    // the heading.
    const QString heading = SheetTemplate::heading(col);
    menu->setAccessibleName(
        QStringLiteral("Coluna %1").arg(heading.isEmpty() ? QString::number(col) : heading));
    using Direction = RowSort::Direction;
    // The order the rows have by this column is ticked: heard as well as seen.
    auto* order = new QActionGroup(menu);
    for (const auto& sort : {std::pair{QStringLiteral("Classificar A→Z"), Direction::Ascending},
                             std::pair{QStringLiteral("Classificar Z→A"), Direction::Descending}}) {
        const Direction direction = sort.second;
        QAction* action = order->addAction(menu->addAction(sort.first));
        action->setCheckable(true);
        action->setChecked(sheet_->SortColumn() == col && sheet_->SortDirection() == direction);
        connect(action, &QAction::triggered, this, [this, col, direction] {
            changeRows([&] { sheet_->SortRows(col, direction); }, sortFailure());
        });
    }
    QAction* fileOrder = menu->addAction(QStringLiteral("Ordem do arquivo"));
    fileOrder->setEnabled(sheet_->SortColumn() != 0);
    connect(fileOrder, &QAction::triggered, this,
            [this] { changeRows([this] { sheet_->ClearSort(); }, sortFailure()); });
    menu->addSeparator();
    connect(menu->addAction(QStringLiteral("Filtrar…")), &QAction::triggered, this,
            [this, col] { Q_EMIT filterRequested(col); });
    QAction* clear = menu->addAction(QStringLiteral("Limpar filtro desta coluna"));
    clear->setEnabled(sheet_->Filter().filters(col));
    connect(clear, &QAction::triggered, this,
            [this, col] { changeRows([&] { sheet_->ClearColumnFilter(col); }, filterFailure()); });
    menu->addAction(showAll_);
    return menu;
}

void SheetView::setFrozen(bool frozen)
{
    sheet_->SetFrozen(frozen);
    frozen_->setVisible(frozen);
    followColumns();
}

void SheetView::followColumns()
{
    layOutFrozen();
    layOutScrollStops();
}

void SheetView::layOutFrozen()
{
    if (!frozen_)
        return;
    const bool frozen = freeze_->isChecked() && roomBesideFrozen();
    if (frozen != frozen_->isVisibleTo(this))
        frozen_->setVisible(frozen);
    if (frozen)
        frozen_->follow();
}

bool SheetView::roomBesideFrozen() const
{
    int frozen = 0;
    for (int col = 0; col < std::min(ResultSheet::kFrozenColumns, model_->columnCount()); ++col)
        frozen += isColumnHidden(col) ? 0 : columnWidth(col);
    // A check wider than the room is gone through in steps, its text whole
    // in the tooltip, rather than have CPF and NOME scroll away.
    const int least = SheetTemplate::columnWidthPixels(kLeastRoomCharacters * 256,
                                                       digitWidth_); // in 1/256 characters
    return viewport()->width() - frozen >= least;
}

int SheetView::frozenEdge() const
{
    return frozen_ && frozen_->isVisibleTo(this) ? frozen_->columnsWidth() : 0;
}

void SheetView::layOutScrollStops()
{
    const QHeaderView* header = horizontalHeader();
    const int offset = header->offset();
    const int view = viewport()->width();
    const int edge = frozenEdge();
    const int room = std::max(view - edge, 2);
    const int length = header->length();
    stops_.assign(1, 0);
    for (int col = edge > 0 ? ResultSheet::kFrozenColumns : 0; col < header->count(); ++col) {
        if (header->isSectionHidden(col))
            continue;
        const int start = header->sectionPosition(col) - edge;
        if (start > stops_.back())
            stops_.push_back(start);
        // From here on every column shows.
        if (start + view >= length)
            break;
        const int width = header->sectionSize(col);
        if (width > room) {
            const int end = start + width - room;
            for (int at = start + room / 2; at < end; at += room / 2)
                stops_.push_back(at);
            stops_.push_back(end);
        }
    }
    QScrollBar* across = horizontalScrollBar();
    const auto kept = std::upper_bound(stops_.begin(), stops_.end(), offset) - 1;
    across->setRange(0, int(stops_.size()) - 1);
    across->setSingleStep(1);
    across->setPageStep(
        std::max(int(std::lower_bound(stops_.begin(), stops_.end(), room) - stops_.begin()), 1));
    across->setValue(int(kept - stops_.begin()));
    placeColumns();
}

void SheetView::placeColumns()
{
    const int at = std::clamp(horizontalScrollBar()->value(), 0, int(stops_.size()) - 1);
    QHeaderView* header = horizontalHeader();
    if (header->offset() == stops_[at])
        return;
    header->setOffset(stops_[at]);
    viewport()->update();
}

void SheetView::scrollContentsBy(int dx, int dy)
{
    if (dx != 0)
        placeColumns();
    if (dy != 0)
        QTableView::scrollContentsBy(0, dy);
}

int SheetView::stopShowing(int col) const
{
    const QHeaderView* header = horizontalHeader();
    const int edge = frozenEdge();
    const int view = viewport()->width();
    const int width = header->sectionSize(col);
    const int left = header->sectionViewportPosition(col);
    const int right = left + width;
    // In view, or filling the room while a wide column is gone through.
    if ((left >= edge && right <= view) || (left <= edge && right >= view))
        return horizontalScrollBar()->value();
    // A column coming from the right ends at the right edge if it fits, or
    // starts at the frozen edge, as one coming from the left does.
    const int start = header->sectionPosition(col) - edge;
    const int wanted = left > edge && width <= view - edge ? start + width - (view - edge) : start;
    const auto stop = std::lower_bound(stops_.begin(), stops_.end(), wanted);
    return stop == stops_.end() ? int(stops_.size()) - 1 : int(stop - stops_.begin());
}

QModelIndex SheetView::indexAt(const QPoint& pos) const
{
    // The cells under the frozen columns are theirs, whatever scrolled under them.
    if (frozen_ && frozen_->isVisibleTo(this) && pos.x() >= 0 &&
        pos.x() < frozen_->columnsWidth()) {
        const int row = rowAt(pos.y());
        const int col = frozen_->columnAt(pos.x());
        return row < 0 || col < 0 ? QModelIndex() : model_->index(row, col);
    }
    return QTableView::indexAt(pos);
}

QRect SheetView::visualRect(const QModelIndex& index) const
{
    if (frozen_ && frozen_->isVisibleTo(this) && index.isValid() &&
        index.column() < ResultSheet::kFrozenColumns)
        return frozen_->visualRect(index);
    return QTableView::visualRect(index);
}

void SheetView::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    if (!index.isValid() || isRowHidden(index.row()) || isColumnHidden(index.column()))
        return;
    QScrollBar* across = horizontalScrollBar();
    {
        // The rows scroll as the base class scrolls them; across, it would
        // count pixels where the scroll bar counts stops.
        const QSignalBlocker quiet(across);
        const int before = across->value();
        QTableView::scrollTo(index, hint);
        across->setValue(before);
    }
    // A frozen cell is always in view.
    if (frozenEdge() > 0 && index.column() < ResultSheet::kFrozenColumns)
        return;
    across->setValue(stopShowing(index.column()));
}

QRect SheetView::shownPart(const QModelIndex& index) const
{
    QRect shown = visualRect(index).intersected(viewport()->rect());
    if (index.column() >= ResultSheet::kFrozenColumns)
        shown.setLeft(std::max(shown.left(), frozenEdge()));
    return shown;
}

bool SheetView::showsWhole(const QModelIndex& index) const
{
    const QString text = index.data().toString();
    if (text.isEmpty())
        return true;
    const QRect cell = visualRect(index);
    const QRect shown = shownPart(index);
    // The margin the style leaves before and after a cell's text.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    return shown.left() <= cell.left() &&
           cell.left() + 2 * margin + fontMetrics().horizontalAdvance(text) <= shown.right() + 1;
}

void SheetView::showWholeText(const QModelIndex& index, QPoint at)
{
    if (!index.isValid() || showsWhole(index)) {
        QToolTip::hideText();
        return;
    }
    // On one line while it fits inside the window, or wrapped, as a
    // paragraph, when it is longer.
    const QString text = index.data().toString();
    const bool oneLine = fontMetrics().horizontalAdvance(text) < window()->width();
    QToolTip::showText(
        at,
        (oneLine ? QStringLiteral("<p style=\"white-space:pre\">") : QStringLiteral("<p>")) +
            text.toHtmlEscaped() + QStringLiteral("</p>"),
        viewport(), shownPart(index));
}

bool SheetView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        showWholeText(indexAt(help->pos()), help->globalPos());
        return true;
    }
    return QTableView::viewportEvent(event);
}

void SheetView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    // Past the table view's own, which tells screen readers of every move of
    // the active cell, by a command or a reset too, with the focus elsewhere.
    QAbstractItemView::currentChanged(current, previous);
    if (!hasFocus() || !current.isValid())
        return;
    QAccessibleEvent focus(this, QAccessible::Focus);
    focus.setChild(SheetAccessible::childIndex(current));
    QAccessible::updateAccessibility(&focus);
    // After the move has scrolled it into view, under the cell.
    showWholeText(current, viewport()->mapToGlobal(shownPart(current).bottomLeft()));
}

void SheetView::focusInEvent(QFocusEvent* event)
{
    QTableView::focusInEvent(event);
    // The table is heard coming in, which the application tells once this
    // returns; then the cell the keys act on.
    QMetaObject::invokeMethod(
        this,
        [this] {
            const QModelIndex current = currentIndex();
            if (!hasFocus() || !current.isValid())
                return;
            QAccessibleEvent focus(this, QAccessible::Focus);
            focus.setChild(SheetAccessible::childIndex(current));
            QAccessible::updateAccessibility(&focus);
        },
        Qt::QueuedConnection);
}

void SheetView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    // The table view's own would number the cells as its own table does.
    QAbstractItemView::selectionChanged(selected, deselected);
    QAccessibleEvent changed(this, QAccessible::SelectionWithin);
    QAccessible::updateAccessibility(&changed);
}

void SheetView::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    followColumns();
}

void SheetView::updateGeometries()
{
    QTableView::updateGeometries();
    followColumns();
}

void SheetView::followHiddenColumns(int col1, int col2)
{
    const int last = std::min(col2, model_->columnCount());
    for (int col = std::max(col1, 1); col <= last; ++col)
        setColumnHidden(col - 1, sheet_->IsColumnHidden(col));
    followColumns();
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
    // Alt+Down opens the current column's menu, as in a spreadsheet's filter.
    if (event->key() == Qt::Key_Down && event->modifiers() == Qt::AltModifier &&
        currentIndex().isValid()) {
        const int logical = currentIndex().column();
        SheetHeader* header = logical < ResultSheet::kFrozenColumns && frozen_->isVisibleTo(this)
                                  ? static_cast<SheetHeader*>(frozen_->horizontalHeader())
                                  : header_;
        QRect button = header->buttonRect(logical);
        if (button.isEmpty())
            button = QRect(header->sectionViewportPosition(logical), 0, 0, header->height());
        QMenu* menu = columnMenu(logical + 1);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(header->mapToGlobal(button.bottomLeft()));
        event->accept();
        return;
    }
    // Shift+F10 is the Menu key of keyboards without one: the grid's menu
    // opens on the current cell.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        const QPoint cell = visualRect(currentIndex()).center();
        const QPoint at = viewport()->mapTo(this, cell);
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, viewport()->mapToGlobal(cell),
                               event->modifiers());
        QCoreApplication::sendEvent(this, &menu);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
    // Home goes to CPF, frozen and so always in view: the columns scrolled
    // beside it go back to the start too, as in a spreadsheet.
    if (event->key() == Qt::Key_Home && frozenEdge() > 0)
        horizontalScrollBar()->setValue(0);
}
