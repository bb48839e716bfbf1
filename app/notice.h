#pragma once

#include <QLabel>
#include <QTimer>

// A line over the top of a widget that goes away by itself after a few
// seconds, nothing to click: "A busca recomeçou do início." It looks like a
// tooltip but is none: the window system closes a tooltip as soon as the
// window is activated again or a key goes up, which is just what follows
// the Localizar box's Enter. It lies on the widget, inside the window, so
// nothing but its own time takes it away, and each notice shows afresh for
// the whole time.
class Notice final : public QLabel
{
    Q_OBJECT

public:
    // Shows `text` over `near`, with the notice `near` already has if any.
    static void tell(QWidget* near, const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    explicit Notice(QWidget* near);

    QTimer shown_;
};
