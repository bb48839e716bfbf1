#include "app/accessibleevents.h"

#include <QAccessible>

#include <utility>

void AccessibleEvents::send(QAccessibleEvent& event)
{
    if (const auto& hear = listener())
        hear(event);
    else if (QAccessible::isActive())
        QAccessible::updateAccessibility(&event);
}

std::function<void(QAccessibleEvent&)>& AccessibleEvents::listener()
{
    static std::function<void(QAccessibleEvent&)> current;
    return current;
}

AccessibleEvents::Listener::Listener(std::function<void(QAccessibleEvent&)> hear)
    : previous_(std::exchange(listener(), std::move(hear)))
{
}

AccessibleEvents::Listener::~Listener()
{
    listener() = std::move(previous_);
}
