#pragma once

#include "sheet/grid/leafaccessible.h"

#include <QAccessibleInterface>
#include <QModelIndex>
#include <QPointer>

class QListView;

// One text of "Filtrar…" to screen readers: a check box named by its text
// and count, ticked or not, in the list. Qt makes each row a list item
// that can be ticked, but its Linux bridge (6.4) drops that it can, so Orca
// says nothing of an unticked box nor of a box Space unticks; a check box
// is heard with its state either way, as it changes too.
class FilterItemAccessible final : public LeafAccessible, public QAccessibleActionInterface
{
public:
    FilterItemAccessible(QListView* view, int row);

    int row() const { return row_; }
    const QListView* view() const { return view_; }

    bool isValid() const override;
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QString text(QAccessible::Text t) const override;
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::CheckBox; }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QModelIndex index() const;

    QPointer<QListView> view_;
    int row_;
};
