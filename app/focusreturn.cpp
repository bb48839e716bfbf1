#include "app/focusreturn.h"

#include <QApplication>
#include <QTimer>

namespace {
// Long enough for the window manager to have told of the focus it left
// after the dialog: a focus that goes out and never comes back in.
constexpr int kSettleMs = 300;

void giveBack(QWidget* window, QWidget* focus)
{
    window->raise();
    window->activateWindow();
    // Where the window kept it, unless that control can no longer take it.
    QWidget* control =
        focus && focus->isVisible() && focus->isEnabled() ? focus : window->focusWidget();
    if (control)
        control->setFocus(Qt::ActiveWindowFocusReason);
}
} // namespace

FocusReturn::FocusReturn(QWidget* parent)
    : window_(parent ? parent->window() : nullptr), focus_(QApplication::focusWidget())
{
    if (focus_ && focus_->window() != window_)
        focus_ = nullptr;
}

FocusReturn::~FocusReturn()
{
    // A window closed meanwhile, or hidden, is not brought back.
    if (!window_ || !window_->isVisible())
        return;
    giveBack(window_, focus_);
    // Under openbox the window can be left with the keyboard while Qt was
    // last told it lost it: asking the window manager again changes nothing
    // there, so Qt is told it is active, keys and focus going where the
    // window system already sends them, to the control the window last
    // gave the focus (the caller may have moved it since). Only while none
    // of the program's windows is active, so a clerk gone to another of
    // them keeps it.
    QTimer::singleShot(kSettleMs, window_, [window = window_] {
        if (!window || !window->isVisible() || QApplication::activeWindow())
            return;
        QApplication::setActiveWindow(window);
        giveBack(window, nullptr);
    });
}
