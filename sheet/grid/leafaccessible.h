#pragma once

#include <QAccessibleInterface>

// What every object of the grid's own that stands for no widget and holds
// nothing (a cell, the status line's announcement) answers alike: no object,
// no children, no relations, text that only the program sets.
class LeafAccessible : public QAccessibleInterface
{
public:
    QObject* object() const override { return nullptr; }
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation) const override
    {
        return {};
    }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void setText(QAccessible::Text, const QString&) override {}
};
