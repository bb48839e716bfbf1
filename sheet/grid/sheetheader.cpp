#include "sheet/grid/sheetheader.h"

#include "sheet/resultsheet.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOptionHeaderV2>

SheetHeader::SheetHeader(const ResultSheet& sheet, QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent), sheet_(sheet)
{
    setSectionsClickable(true);
    setHighlightSections(true);
}

int SheetHeader::buttonSide() const
{
    // Square, as tall as the heading's text.
    return std::max(fontMetrics().height() - 2, 9);
}

int SheetHeader::widthShowingHeading(int logicalIndex) const
{
    const QString text =
        model() ? model()->headerData(logicalIndex, orientation()).toString() : QString();
    const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this);
    return fontMetrics().horizontalAdvance(text) + 2 * margin + buttonSide() + 2;
}

QRect SheetHeader::buttonIn(const QRect& section) const
{
    // Inside the section's right edge; a section too narrow for it and some
    // text gets none.
    const int side = buttonSide();
    if (section.width() < 2 * side)
        return {};
    return {section.right() - side - 1, section.center().y() - side / 2, side, side};
}

QRect SheetHeader::buttonRect(int logicalIndex) const
{
    const int x = sectionViewportPosition(logicalIndex);
    if (x < -sectionSize(logicalIndex) || isSectionHidden(logicalIndex))
        return {};
    return buttonIn(QRect(x, 0, sectionSize(logicalIndex), height()));
}

void SheetHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    const QRect button = buttonIn(rect);
    if (button.isEmpty() || !rect.isValid()) {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        return;
    }
    // The section as the base class draws it, its text centred left of the
    // button.
    QStyleOptionHeaderV2 section;
    initStyleOption(&section);
    initStyleOptionForIndex(&section, logicalIndex);
    section.rect = rect;
    painter->save();
    painter->setClipRect(rect);
    style()->drawControl(QStyle::CE_HeaderSection, &section, painter, this);
    QStyleOptionHeaderV2 label = section;
    label.rect.setRight(button.left() - 1);
    label.rect = style()->subElementRect(QStyle::SE_HeaderLabel, &label, this);
    if (label.rect.isValid())
        style()->drawControl(QStyle::CE_HeaderLabel, &label, painter, this);
    painter->restore();
    const int col = logicalIndex + 1;
    const bool filtered = sheet_.Filter().filters(col);
    const bool sorted = sheet_.SortColumn() == col;

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QPalette& colours = palette();
    painter->setPen(colours.color(QPalette::Mid));
    painter->setBrush(filtered || sorted ? colours.color(QPalette::Highlight).lighter(180)
                                         : colours.color(QPalette::Button));
    painter->drawRect(QRectF(button).adjusted(0.5, 0.5, -0.5, -0.5));
    painter->setPen(Qt::NoPen);
    painter->setBrush(colours.color(QPalette::ButtonText));
    const QRectF inner = QRectF(button).adjusted(2.5, 2.5, -2.5, -2.5);
    QPainterPath mark;
    if (filtered) {
        // A funnel.
        const double stem = inner.width() / 6;
        mark.moveTo(inner.left(), inner.top());
        mark.lineTo(inner.right(), inner.top());
        mark.lineTo(inner.center().x() + stem, inner.center().y());
        mark.lineTo(inner.center().x() + stem, inner.bottom());
        mark.lineTo(inner.center().x() - stem, inner.bottom() - stem);
        mark.lineTo(inner.center().x() - stem, inner.center().y());
        mark.closeSubpath();
    } else if (sorted && sheet_.SortDirection() == RowSort::Direction::Ascending) {
        mark.moveTo(inner.center().x(), inner.top() + 1);
        mark.lineTo(inner.right(), inner.bottom() - 1);
        mark.lineTo(inner.left(), inner.bottom() - 1);
        mark.closeSubpath();
    } else {
        // Down: the menu's own arrow, or the descending order's.
        const double top = sorted ? inner.top() + 1 : inner.center().y() - inner.height() / 4;
        const double bottom = sorted ? inner.bottom() - 1 : inner.center().y() + inner.height() / 4;
        mark.moveTo(inner.left(), top);
        mark.lineTo(inner.right(), top);
        mark.lineTo(inner.center().x(), bottom);
        mark.closeSubpath();
    }
    painter->drawPath(mark);
    painter->restore();
}

void SheetHeader::mousePressEvent(QMouseEvent* event)
{
    const int logical = logicalIndexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && logical >= 0 &&
        buttonRect(logical).contains(event->position().toPoint())) {
        pressedButton_ = true;
        const QRect button = buttonRect(logical);
        Q_EMIT menuRequested(logical, mapToGlobal(button.bottomLeft() + QPoint(0, 1)));
        event->accept();
        return;
    }
    pressedButton_ = false;
    QHeaderView::mousePressEvent(event);
}

void SheetHeader::mouseReleaseEvent(QMouseEvent* event)
{
    if (pressedButton_) {
        pressedButton_ = false;
        event->accept();
        return;
    }
    QHeaderView::mouseReleaseEvent(event);
}

void SheetHeader::contextMenuEvent(QContextMenuEvent* event)
{
    const int logical = logicalIndexAt(event->pos());
    if (logical < 0) {
        QHeaderView::contextMenuEvent(event);
        return;
    }
    Q_EMIT menuRequested(logical, event->globalPos());
    event->accept();
}
