#include "app/windowlayout.h"

#include <QMetaObject>
#include <QStyle>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace {
// The logical dots per inch the window is laid out for: a twip is 1/1440 of
// a logical inch, 15 to a pixel at the usual 96 dpi. Where only the fonts are
// made larger (a font dpi of 192 on a screen that is not scaled), fewer
// twips make a pixel and every control grows with the text it holds; the
// scaling of a high-density screen is Qt's own and leaves this at 96.
constexpr int kDesignedDpi = 1440 / WindowLayout::kTwipsPerPixel;

// The place a control designed at `designed` in a parent of `designedParent`
// takes in a parent of `parent`, following the parent's `edges`.
QRect anchoredPlace(QRect designed, QSize designedParent, QSize parent, Qt::Edges edges)
{
    const QSize grown = parent - designedParent;
    if (edges.testFlag(Qt::RightEdge)) {
        if (edges.testFlag(Qt::LeftEdge))
            designed.setWidth(designed.width() + grown.width());
        else
            designed.translate(grown.width(), 0);
    }
    if (edges.testFlag(Qt::BottomEdge)) {
        if (edges.testFlag(Qt::TopEdge))
            designed.setHeight(designed.height() + grown.height());
        else
            designed.translate(0, grown.height());
    }
    return designed;
}
} // namespace

WindowLayout::WindowLayout(QWidget& window, std::function<QRect()> availableArea)
    : window_(window), availableArea_(std::move(availableArea)),
      // Never smaller than designed: below 96 dpi the pictures would blur.
      dpi_(std::max(window.logicalDpiY(), kDesignedDpi))
{
}

QRect WindowLayout::twips(int left, int top, int width, int height) const
{
    const auto pixels = [this](int twips) { return twips * dpi_ / 1440; };
    return {pixels(left), pixels(top), pixels(width), pixels(height)};
}

QSize WindowLayout::scaled(QSize designed) const
{
    return designed * dpi_ / kDesignedDpi;
}

int WindowLayout::scaled(int designed) const
{
    return designed * dpi_ / kDesignedDpi;
}

void WindowLayout::anchor(QWidget* control, Qt::Edges edges)
{
    anchored_.push_back({control, control->geometry(), control->parentWidget()->size(), edges});
}

void WindowLayout::placeAnchored() const
{
    // In the order anchored: a frame takes its size before the controls in
    // it are placed.
    for (const Anchored& anchored : anchored_)
        anchored.control->setGeometry(anchoredPlace(anchored.designed, anchored.designedParent,
                                                    anchored.control->parentWidget()->size(),
                                                    anchored.edges));
}

bool WindowLayout::maximized() const
{
    return window_.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen);
}

void WindowLayout::windowShown()
{
    if (fitted_ || !window_.isWindow())
        return;
    fitted_ = true;
    if (maximized())
        return;
    // X11 window managers add the title bar and borders only after the
    // window is shown: until then a frame no smaller than a usual one is
    // assumed, and the fitting is done again once the real one is known.
    const QStyle* style = window_.style();
    const int titleBar = style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window_);
    const int border = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, &window_);
    const QMargins reported = frameMargins();
    fittedFrame_ =
        QMargins(std::max(reported.left(), border), std::max(reported.top(), titleBar),
                 std::max(reported.right(), border), std::max(reported.bottom(), border));
    fitInto(availableArea_(), fittedFrame_);
}

void WindowLayout::windowMoved()
{
    // The first frame the window system reports after showing, if it is not
    // the one assumed: fitted again, once, so that the user's own moves and
    // sizes are never undone.
    if (!fitted_ || refitted_ || !window_.isVisible() || maximized())
        return;
    const QMargins frame = frameMargins();
    if (frame.isNull() || frame == fittedFrame_)
        return;
    refitted_ = true;
    fittedFrame_ = frame;
    // After the window manager has done with the event that told the frame,
    // or its own placement undoes the fitting.
    QMetaObject::invokeMethod(
        &window_, [this] { fitInto(availableArea_(), fittedFrame_); }, Qt::QueuedConnection);
}

// The title bar and borders around the window, as the window system reports them.
QMargins WindowLayout::frameMargins() const
{
    const QRect outer = window_.frameGeometry();
    const QRect inner = window_.geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

// Shrinks the window, title bar and borders (`frame`) included, to the area
// when it is larger, never below the minimum size, and moves it into the
// area.
void WindowLayout::fitInto(const QRect& area, const QMargins& frame)
{
    if (area.isEmpty())
        return;
    const QSize size = window_.size();
    const QSize fitted =
        size.boundedTo(area.size().shrunkBy(frame)).expandedTo(window_.minimumSize());
    const QSize whole = fitted.grownBy(frame);
    const QPoint outer = window_.geometry().topLeft() - QPoint(frame.left(), frame.top());
    const QPoint inside(
        std::max(area.left(), std::min(outer.x(), area.right() + 1 - whole.width())),
        std::max(area.top(), std::min(outer.y(), area.bottom() + 1 - whole.height())));
    const bool shrunk = fitted != size;
    if (shrunk)
        window_.resize(fitted);
    // After a shrink the place is said even when unchanged: the platform may
    // have placed the window for its designed size.
    if (shrunk || inside != outer)
        window_.move(inside);
}
