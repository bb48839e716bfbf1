#include "app/filterlistaccessible.h"

#include "app/filterdialog.h"
#include "app/filteritemaccessible.h"

#include <QListView>

FilterListAccessible::FilterListAccessible(QListView* view)
    : QAccessibleWidget(view, QAccessible::List)
{
}

FilterListAccessible::~FilterListAccessible()
{
    for (const QAccessible::Id id : std::as_const(items_))
        QAccessible::deleteAccessibleInterface(id);
}

QAccessibleInterface* FilterListAccessible::create(const QString& className, QObject* object)
{
    if (className == QLatin1String("QListView") && qobject_cast<FilterDialog*>(object->parent()))
        return new FilterListAccessible(static_cast<QListView*>(object));
    return nullptr;
}

QListView* FilterListAccessible::view() const
{
    return static_cast<QListView*>(widget());
}

int FilterListAccessible::childCount() const
{
    return view()->model()->rowCount();
}

QAccessibleInterface* FilterListAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    if (const auto found = items_.constFind(index); found != items_.cend())
        return QAccessible::accessibleInterface(found.value());
    auto* made = new FilterItemAccessible(view(), index);
    items_.insert(index, QAccessible::registerAccessibleInterface(made));
    return made;
}

int FilterListAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    const auto* item = dynamic_cast<const FilterItemAccessible*>(child);
    return item && item->view() == view() && item->isValid() ? item->row() : -1;
}

QAccessibleInterface* FilterListAccessible::childAt(int x, int y) const
{
    const QPoint at = view()->viewport()->mapFromGlobal(QPoint(x, y));
    const QModelIndex index = view()->indexAt(at);
    return index.isValid() ? child(index.row()) : nullptr;
}

QAccessibleInterface* FilterListAccessible::focusChild() const
{
    const QModelIndex current = view()->currentIndex();
    return view()->hasFocus() && current.isValid() ? child(current.row()) : nullptr;
}
