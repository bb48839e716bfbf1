#include "app/picturebutton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

PictureButton::PictureButton(QWidget* parent) : QPushButton(parent)
{
    // Enter must never click a picture button, whatever window holds it.
    setAutoDefault(false);
    setDefault(false);
}

void PictureButton::setPicture(const QIcon& picture, QSize size)
{
    picture_ = picture;
    pictureSize_ = size;
    update();
}

void PictureButton::setDownPicture(const QIcon& picture)
{
    downPicture_ = picture;
    update();
}

void PictureButton::setDisabledPicture(const QIcon& picture)
{
    disabledPicture_ = picture;
    update();
}

void PictureButton::paintEvent(QPaintEvent* /*event*/)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButton, option);

    QIcon picture = picture_;
    QIcon::Mode mode = QIcon::Normal;
    if (!isEnabled()) {
        if (disabledPicture_.isNull())
            mode = QIcon::Disabled;
        else
            picture = disabledPicture_;
    } else if (isDown() && !downPicture_.isNull()) {
        picture = downPicture_;
    }
    if (picture.isNull() || pictureSize_.isEmpty())
        return;

    // Rendered for the screen's real pixels, so it stays sharp when scaled.
    const QPixmap pixmap = picture.pixmap(pictureSize_, devicePixelRatioF(), mode);
    QPoint topLeft((width() - pictureSize_.width()) / 2, (height() - pictureSize_.height()) / 2);
    if (isDown()) {
        topLeft += QPoint(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                          style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    }
    painter.drawPixmap(QRect(topLeft, pictureSize_), pixmap);
}
