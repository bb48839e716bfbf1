#pragma once

#include <QPointer>
#include <QWidget>

// Gives the keyboard back to the window a modal dialog was shown over, once
// the dialog has closed: the window is made active again and the control
// that had the focus has it again. A window manager need not do it (openbox
// often leaves no window active after the file dialog), and a clerk who
// cannot see the screen is then left with keys that go nowhere. Made before
// the dialog shows, it acts when it goes out of scope.
class FocusReturn
{
public:
    explicit FocusReturn(QWidget* parent);
    ~FocusReturn();
    FocusReturn(const FocusReturn&) = delete;
    FocusReturn& operator=(const FocusReturn&) = delete;

private:
    QPointer<QWidget> window_;
    QPointer<QWidget> focus_;
};
