#pragma once

#include "app/pictureiconengine.h"

#include <memory>

class QSvgRenderer;

// An icon drawn from an SVG picture at whatever size is asked, so it stays
// sharp at any device pixel ratio instead of being scaled from one bitmap.
class SvgIconEngine : public PictureIconEngine
{
public:
    explicit SvgIconEngine(const QString& fileName);
    ~SvgIconEngine() override;

    // An icon of the picture; a null icon when the file is no valid SVG.
    static QIcon icon(const QString& fileName);

    QIconEngine* clone() const override;
    QString key() const override;
    bool isNull() override;

private:
    SvgIconEngine(const SvgIconEngine& other) = default;
    QSizeF pictureSize() const override;
    void draw(QPainter& painter, const QRectF& target) const override;

    // Shared by the copies Qt makes of an icon; the renderer is only read.
    std::shared_ptr<QSvgRenderer> renderer_;
};
