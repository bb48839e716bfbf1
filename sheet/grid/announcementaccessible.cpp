#include "sheet/grid/announcementaccessible.h"

#include "sheet/grid/sheetview.h"

#include <QLabel>

AnnouncementAccessible::AnnouncementAccessible(SheetView* view) : view_(view) {}

QWindow* AnnouncementAccessible::window() const
{
    return view_ ? view_->window()->windowHandle() : nullptr;
}

QAccessibleInterface* AnnouncementAccessible::parent() const
{
    return view_ ? QAccessible::queryAccessibleInterface(view_->statusLine()) : nullptr;
}

QString AnnouncementAccessible::text(QAccessible::Text t) const
{
    return view_ && t == QAccessible::Name ? view_->lastSaid() : QString();
}

// Where the status line is: the notices show over the grid, the count there.
QRect AnnouncementAccessible::rect() const
{
    if (!view_)
        return {};
    const QLabel* line = view_->statusLine();
    return QRect(line->mapToGlobal(QPoint(0, 0)), line->size());
}

QAccessible::State AnnouncementAccessible::state() const
{
    QAccessible::State state;
    state.readOnly = true;
    state.invisible = !view_ || view_->lastSaid().isEmpty();
    return state;
}
