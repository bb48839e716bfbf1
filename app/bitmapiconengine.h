#pragma once

#include "app/pictureiconengine.h"

#include <QImage>

#include <memory>
#include <vector>

// An icon drawn from a picture rendered ahead at several sizes, for builds
// without Qt SVG: the smallest rendering not smaller than the asked size is
// scaled down smoothly, so it stays sharp at the usual device pixel ratios.
// It looks and behaves as SvgIconEngine does.
class BitmapIconEngine : public PictureIconEngine
{
public:
    // `renderings` are the picture's files, any sizes, any order.
    explicit BitmapIconEngine(const QStringList& renderings);

    // An icon of the picture rendered as the files in `folder` whose names
    // start with `name` and a dash ("processar-142x66.png"); a null icon when
    // there is none.
    static QIcon icon(const QString& folder, const QString& name);

    QIconEngine* clone() const override;
    QString key() const override;
    bool isNull() override;

private:
    BitmapIconEngine(const BitmapIconEngine& other) = default;
    QSizeF pictureSize() const override;
    void draw(QPainter& painter, const QRectF& target) const override;
    const QImage& renderingFor(const QSize& size) const;

    // Shared by the copies Qt makes of an icon; only read. Smallest first.
    std::shared_ptr<const std::vector<QImage>> renderings_;
};
