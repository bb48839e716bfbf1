#include "app/svgiconengine.h"

#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace {
// How much of a picture shows when its control is disabled.
constexpr qreal kDisabledOpacity = 0.4;
} // namespace

SvgIconEngine::SvgIconEngine(const QString& fileName)
    : renderer_(std::make_shared<QSvgRenderer>(fileName))
{
}

SvgIconEngine::~SvgIconEngine() = default;

QIcon SvgIconEngine::icon(const QString& fileName)
{
    auto engine = std::make_unique<SvgIconEngine>(fileName);
    if (engine->isNull())
        return {};
    return QIcon(engine.release());
}

void SvgIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
                          QIcon::State /*state*/)
{
    if (isNull() || rect.isEmpty())
        return;
    QSizeF fitted = QSizeF(renderer_->defaultSize());
    fitted.scale(QSizeF(rect.size()), Qt::KeepAspectRatio);
    QRectF target(QPointF(), fitted);
    target.moveCenter(QRectF(rect).center());

    painter->save();
    if (mode == QIcon::Disabled)
        painter->setOpacity(painter->opacity() * kDisabledOpacity);
    renderer_->render(painter, target);
    painter->restore();
}

QPixmap SvgIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state)
{
    if (size.isEmpty())
        return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        paint(&painter, QRect(QPoint(), size), mode, state);
    }
    return QPixmap::fromImage(std::move(image));
}

QSize SvgIconEngine::actualSize(const QSize& size, QIcon::Mode /*mode*/, QIcon::State /*state*/)
{
    // Any size can be drawn, so the icon fills what it is given.
    return size;
}

QIconEngine* SvgIconEngine::clone() const
{
    return new SvgIconEngine(*this);
}

QString SvgIconEngine::key() const
{
    return QStringLiteral("VerinovaSvg");
}

bool SvgIconEngine::isNull()
{
    return !renderer_->isValid();
}
