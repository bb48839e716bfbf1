#pragma once

#include <QAccessible>

#include <functional>

// Hears what the program tells a screen reader, in the reader's place. Qt
// tells nothing while its platform bridge is off, as it is headless with no
// reader; while one of these lives the bridge is on and every event goes to
// `hear` instead of the platform.
class ScreenReader
{
public:
    explicit ScreenReader(std::function<void(QAccessibleEvent*)> hear);
    ~ScreenReader();
    ScreenReader(const ScreenReader&) = delete;
    ScreenReader& operator=(const ScreenReader&) = delete;

private:
    QAccessible::UpdateHandler previous_;
};
