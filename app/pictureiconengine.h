#pragma once

#include <QIconEngine>
#include <QPainter>

// What the program's icons share however their picture is kept: it keeps
// its proportions, is centred in the asked size, fills whatever size is
// asked, and shows faded when its control is disabled.
class PictureIconEngine : public QIconEngine
{
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;

protected:
    // `pixmapHints` are set on the painter a pixmap is drawn with.
    explicit PictureIconEngine(QPainter::RenderHints pixmapHints = {});
    PictureIconEngine(const PictureIconEngine& other) = default;

    // The picture's own size, whose proportions it keeps.
    virtual QSizeF pictureSize() const = 0;
    // Draws the picture into `target`, already fitted and centred; the
    // painter's state is put back after.
    virtual void draw(QPainter& painter, const QRectF& target) const = 0;

private:
    QPainter::RenderHints pixmapHints_;
};
