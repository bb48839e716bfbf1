#include "app/windowaccessible.h"

#include "sheet/grid/sheetview.h"

#include <QLabel>

WindowAccessible::WindowAccessible(QWidget* window) : QAccessibleWidget(window, QAccessible::Window)
{
}

// A plain widget is a client area to assistive technology ("filler" to
// AT-SPI), where screen readers do not look for an application's window.
QAccessibleInterface* WindowAccessible::create(const QString& className, QObject* object)
{
    if (className == QLatin1String("Verinova") && object->isWidgetType())
        return new WindowAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

SheetView* WindowAccessible::grid() const
{
    return widget()->findChild<SheetView*>(QString(), Qt::FindDirectChildrenOnly);
}

int WindowAccessible::statusIndex() const
{
    SheetView* view = grid();
    if (!view)
        return -1;
    const int at = QAccessibleWidget::indexOfChild(QAccessible::queryAccessibleInterface(view));
    return at < 0 ? -1 : at + 1;
}

int WindowAccessible::childCount() const
{
    return QAccessibleWidget::childCount() + (statusIndex() < 0 ? 0 : 1);
}

QAccessibleInterface* WindowAccessible::child(int index) const
{
    const int status = statusIndex();
    if (status < 0 || index < status)
        return QAccessibleWidget::child(index);
    if (index == status)
        return QAccessible::queryAccessibleInterface(grid()->statusLine());
    return QAccessibleWidget::child(index - 1);
}

int WindowAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    const int status = statusIndex();
    if (!child || status < 0)
        return QAccessibleWidget::indexOfChild(child);
    if (child->object() && child->object() == grid()->statusLine())
        return status;
    const int at = QAccessibleWidget::indexOfChild(child);
    return at >= status ? at + 1 : at;
}
