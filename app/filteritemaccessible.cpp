#include "app/filteritemaccessible.h"

#include <QItemSelectionModel>
#include <QListView>

FilterItemAccessible::FilterItemAccessible(QListView* view, int row) : view_(view), row_(row) {}

QModelIndex FilterItemAccessible::index() const
{
    return view_ ? view_->model()->index(row_, 0) : QModelIndex();
}

// A row the list no longer has (a search listed fewer) is gone.
bool FilterItemAccessible::isValid() const
{
    return view_ && row_ < view_->model()->rowCount();
}

QWindow* FilterItemAccessible::window() const
{
    return view_ ? view_->window()->windowHandle() : nullptr;
}

QAccessibleInterface* FilterItemAccessible::parent() const
{
    return view_ ? QAccessible::queryAccessibleInterface(view_) : nullptr;
}

QString FilterItemAccessible::text(QAccessible::Text t) const
{
    return isValid() && t == QAccessible::Name ? index().data().toString() : QString();
}

QRect FilterItemAccessible::rect() const
{
    if (!isValid())
        return {};
    const QRect at = view_->visualRect(index());
    return QRect(view_->viewport()->mapToGlobal(at.topLeft()), at.size());
}

QAccessible::State FilterItemAccessible::state() const
{
    QAccessible::State state;
    if (!isValid()) {
        state.invalid = true;
        return state;
    }
    const QModelIndex at = index();
    state.focusable = true;
    state.selectable = true;
    state.checkable = true;
    state.checked = at.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    state.focused = view_->hasFocus() && view_->currentIndex() == at;
    state.selected = view_->selectionModel()->isSelected(at);
    state.offscreen = !view_->viewport()->rect().intersects(view_->visualRect(at));
    return state;
}

void* FilterItemAccessible::interface_cast(QAccessible::InterfaceType type)
{
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                : nullptr;
}

QStringList FilterItemAccessible::actionNames() const
{
    return {toggleAction()};
}

void FilterItemAccessible::doAction(const QString& actionName)
{
    if (actionName != toggleAction() || !isValid())
        return;
    const QModelIndex at = index();
    const bool checked = at.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    view_->model()->setData(at, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}
