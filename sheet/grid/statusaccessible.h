#pragma once

#include <QAccessibleWidget>

class QLabel;
class SheetView;

// The grid's status line to screen readers: the count of the rows shown,
// a status bar beside the grid's table, a child of the widget that holds
// the grid, though it shows by the grid's scroll bar. What it last said (the count when
// it changed, or a notice) is its one child, a notification, which screen
// readers speak each time it shows, the same words twice included.
class StatusAccessible final : public QAccessibleWidget
{
public:
    StatusAccessible(QLabel* line, SheetView* view);
    ~StatusAccessible() override;

    QAccessibleInterface* parent() const override;
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;

private:
    SheetView* view_;
    QAccessible::Id announcement_;
};
