#pragma once

#include <functional>

class QAccessibleEvent;

// What the program itself tells a screen reader (a box ticked in a list)
// goes out through here. Qt passes an event on only while a reader
// listens, and then makes an accessible object for the item it names; with
// no reader, nothing is made. A Listener hears every event in Qt's place,
// reader or not: how tests hear what a reader would.
class AccessibleEvents
{
public:
    static void send(QAccessibleEvent& event);

    class Listener
    {
    public:
        explicit Listener(std::function<void(QAccessibleEvent&)> hear);
        ~Listener();
        Listener(const Listener&) = delete;
        Listener& operator=(const Listener&) = delete;

    private:
        std::function<void(QAccessibleEvent&)> previous_;
    };

private:
    static std::function<void(QAccessibleEvent&)>& listener();
};
