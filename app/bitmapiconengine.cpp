#include "app/bitmapiconengine.h"

#include <QDir>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

namespace {
// How much of a picture shows when its control is disabled, as with SVG.
constexpr qreal kDisabledOpacity = 0.4;
} // namespace

BitmapIconEngine::BitmapIconEngine(const QStringList& renderings)
{
    std::vector<QImage> images;
    for (const QString& file : renderings) {
        QImage image(file);
        if (!image.isNull())
            images.push_back(image.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
    std::sort(images.begin(), images.end(),
              [](const QImage& a, const QImage& b) { return a.width() < b.width(); });
    renderings_ = std::make_shared<const std::vector<QImage>>(std::move(images));
}

QIcon BitmapIconEngine::icon(const QString& folder, const QString& name)
{
    QStringList files;
    const QDir dir(folder);
    const QStringList names =
        dir.entryList({name + QStringLiteral("-*.png")}, QDir::Files, QDir::Name);
    for (const QString& file : names)
        files.append(dir.filePath(file));
    auto engine = std::make_unique<BitmapIconEngine>(files);
    if (engine->isNull())
        return {};
    return QIcon(engine.release());
}

const QImage& BitmapIconEngine::renderingFor(const QSize& size) const
{
    for (const QImage& image : *renderings_) {
        if (image.width() >= size.width() && image.height() >= size.height())
            return image;
    }
    return renderings_->back();
}

void BitmapIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
                             QIcon::State /*state*/)
{
    if (isNull() || rect.isEmpty())
        return;
    // The device's pixels, not the logical ones, decide which rendering is sharp.
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    QSizeF fitted = QSizeF(renderings_->front().size());
    fitted.scale(QSizeF(rect.size()), Qt::KeepAspectRatio);
    const QSize pixels = (fitted * ratio).toSize().expandedTo(QSize(1, 1));
    const QImage scaled =
        renderingFor(pixels).scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QRectF target(QPointF(), fitted);
    target.moveCenter(QRectF(rect).center());

    painter->save();
    if (mode == QIcon::Disabled)
        painter->setOpacity(painter->opacity() * kDisabledOpacity);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawImage(target, scaled);
    painter->restore();
}

QPixmap BitmapIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state)
{
    if (size.isEmpty())
        return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        paint(&painter, QRect(QPoint(), size), mode, state);
    }
    return QPixmap::fromImage(std::move(image));
}

QSize BitmapIconEngine::actualSize(const QSize& size, QIcon::Mode /*mode*/, QIcon::State /*state*/)
{
    return size;
}

QIconEngine* BitmapIconEngine::clone() const
{
    return new BitmapIconEngine(*this);
}

QString BitmapIconEngine::key() const
{
    return QStringLiteral("VerinovaBitmap");
}

bool BitmapIconEngine::isNull()
{
    return renderings_->empty();
}
