#include "app/notice.h"

#include <QAccessible>
#include <QStyleOptionFrame>
#include <QStylePainter>
#include <QToolTip>

#include <algorithm>

namespace {
// Long enough to be read twice.
constexpr int kShownMs = 4000;
} // namespace

Notice::Notice(QWidget* near) : QLabel(near)
{
    setObjectName(QStringLiteral("aviso"));
    setPalette(QToolTip::palette());
    setFont(QToolTip::font());
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setMargin(1 + style()->pixelMetric(QStyle::PM_ToolTipLabelFrameWidth, nullptr, this));
    // Clicks go to the cells under it.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    shown_.setSingleShot(true);
    shown_.setInterval(kShownMs);
    connect(&shown_, &QTimer::timeout, this, &QWidget::hide);
}

void Notice::tell(QWidget* near, const QString& text)
{
    auto* notice = near->findChild<Notice*>(QString(), Qt::FindDirectChildrenOnly);
    if (!notice)
        notice = new Notice(near);
    notice->setText(text);
    notice->adjustSize();
    // A third of the way in and a line down, where a find's tooltip would
    // be; inside the widget however narrow.
    const int left = std::max(0, std::min(near->width() / 3, near->width() - notice->width()));
    notice->move(left, notice->fontMetrics().height());
    notice->raise();
    notice->show();
    notice->shown_.start();
    // Screen readers hear of it as of any alert.
    QAccessibleEvent alert(notice, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void Notice::paintEvent(QPaintEvent* event)
{
    {
        QStylePainter painter(this);
        QStyleOptionFrame frame;
        frame.initFrom(this);
        painter.drawPrimitive(QStyle::PE_PanelTipLabel, frame);
    }
    QLabel::paintEvent(event);
}
