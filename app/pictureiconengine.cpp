#include "app/pictureiconengine.h"

#include <QImage>
#include <QPixmap>

namespace {
// How much of a picture shows when its control is disabled.
constexpr qreal kDisabledOpacity = 0.4;
} // namespace

PictureIconEngine::PictureIconEngine(QPainter::RenderHints pixmapHints) : pixmapHints_(pixmapHints)
{
}

void PictureIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
                              QIcon::State /*state*/)
{
    if (isNull() || rect.isEmpty())
        return;
    QSizeF fitted = pictureSize();
    fitted.scale(QSizeF(rect.size()), Qt::KeepAspectRatio);
    QRectF target(QPointF(), fitted);
    target.moveCenter(QRectF(rect).center());

    painter->save();
    if (mode == QIcon::Disabled)
        painter->setOpacity(painter->opacity() * kDisabledOpacity);
    draw(*painter, target);
    painter->restore();
}

QPixmap PictureIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state)
{
    if (size.isEmpty())
        return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHints(pixmapHints_);
        paint(&painter, QRect(QPoint(), size), mode, state);
    }
    return QPixmap::fromImage(std::move(image));
}

QSize PictureIconEngine::actualSize(const QSize& size, QIcon::Mode /*mode*/, QIcon::State /*state*/)
{
    // Any size can be drawn, so the icon fills what it is given.
    return size;
}
