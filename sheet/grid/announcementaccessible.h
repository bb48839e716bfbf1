#pragma once

#include "sheet/grid/leafaccessible.h"

#include <QAccessibleInterface>
#include <QPointer>

class SheetView;

// What the grid's status line last said, as a notification: shown each time
// it is said, so that screen readers speak it.
class AnnouncementAccessible final : public LeafAccessible
{
public:
    explicit AnnouncementAccessible(SheetView* view);

    bool isValid() const override { return !view_.isNull(); }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QString text(QAccessible::Text t) const override;
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override;

private:
    QPointer<SheetView> view_;
};
