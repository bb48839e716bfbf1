#pragma once

#include <QAccessibleWidget>
#include <QHash>

class QListView;

// The list of "Filtrar…" to screen readers: named after the column, its
// texts as check boxes (FilterItemAccessible), one for each row, the row
// being the child's index as the list view tells of it. A column may hold
// a million texts: a row's box is made when asked for.
class FilterListAccessible final : public QAccessibleWidget
{
public:
    explicit FilterListAccessible(QListView* view);
    ~FilterListAccessible() override;

    // Makes the filter list's side: installed once, by the first dialog.
    static QAccessibleInterface* create(const QString& className, QObject* object);

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

private:
    QListView* view() const;

    mutable QHash<int, QAccessible::Id> items_; // row to the box's id
};
