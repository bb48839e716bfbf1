#include "tests/support/screenreader.h"

#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <private/qguiapplication_p.h>
#include <utility>

namespace {
std::function<void(QAccessibleEvent*)>& listener()
{
    static std::function<void(QAccessibleEvent*)> hear;
    return hear;
}

void tell(QAccessibleEvent* event)
{
    if (listener())
        listener()(event);
}

QPlatformAccessibility* bridge()
{
    return QGuiApplicationPrivate::platformIntegration()->accessibility();
}
} // namespace

ScreenReader::ScreenReader(std::function<void(QAccessibleEvent*)> hear)
    : previous_(QAccessible::installUpdateHandler(&tell))
{
    listener() = std::move(hear);
    bridge()->setActive(true);
}

ScreenReader::~ScreenReader()
{
    bridge()->setActive(false);
    QAccessible::installUpdateHandler(previous_);
    listener() = nullptr;
}
