#include "sheet/grid/statusaccessible.h"

#include "sheet/grid/announcementaccessible.h"
#include "sheet/grid/sheetview.h"

#include <QLabel>

StatusAccessible::StatusAccessible(QLabel* line, SheetView* view)
    : QAccessibleWidget(line, QAccessible::StatusBar), view_(view),
      announcement_(QAccessible::registerAccessibleInterface(new AnnouncementAccessible(view)))
{
}

StatusAccessible::~StatusAccessible()
{
    QAccessible::deleteAccessibleInterface(announcement_);
}

// Beside the grid, among the controls of the widget that holds it, whatever
// widget holds it where it shows: a screen reader looks for a status bar
// there and never inside a table. That widget lists it (the main window's
// accessible side does).
QAccessibleInterface* StatusAccessible::parent() const
{
    return QAccessible::queryAccessibleInterface(view_->parentWidget());
}

QAccessibleInterface* StatusAccessible::child(int index) const
{
    return index == 0 ? QAccessible::accessibleInterface(announcement_) : nullptr;
}

int StatusAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    return child && child == QAccessible::accessibleInterface(announcement_) ? 0 : -1;
}

QString StatusAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name)
        return static_cast<QLabel*>(widget())->text();
    return QAccessibleWidget::text(t);
}

QAccessible::State StatusAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    return state;
}
