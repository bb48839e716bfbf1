#include "app/svgiconengine.h"

#include <QIcon>
#include <QSvgRenderer>

SvgIconEngine::SvgIconEngine(const QString& fileName)
    : PictureIconEngine(QPainter::Antialiasing), renderer_(std::make_shared<QSvgRenderer>(fileName))
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

QSizeF SvgIconEngine::pictureSize() const
{
    return renderer_->defaultSize();
}

void SvgIconEngine::draw(QPainter& painter, const QRectF& target) const
{
    renderer_->render(&painter, target);
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
