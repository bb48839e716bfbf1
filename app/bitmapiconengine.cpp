#include "app/bitmapiconengine.h"

#include <QDir>
#include <QIcon>

#include <algorithm>

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

QSizeF BitmapIconEngine::pictureSize() const
{
    return renderings_->front().size();
}

void BitmapIconEngine::draw(QPainter& painter, const QRectF& target) const
{
    // The device's pixels, not the logical ones, decide which rendering is sharp.
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QSize pixels = (target.size() * ratio).toSize().expandedTo(QSize(1, 1));
    const QImage scaled =
        renderingFor(pixels).scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, scaled);
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
