#pragma once

#include <QIconEngine>

#include <memory>

class QSvgRenderer;

// An icon drawn from an SVG picture at whatever size is asked, so it stays
// sharp at any device pixel ratio instead of being scaled from one bitmap.
// The picture keeps its proportions and is centred in the asked size.
class SvgIconEngine : public QIconEngine
{
public:
    explicit SvgIconEngine(const QString& fileName);
    ~SvgIconEngine() override;

    // An icon of the picture; a null icon when the file is no valid SVG.
    static QIcon icon(const QString& fileName);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QIconEngine* clone() const override;
    QString key() const override;
    bool isNull() override;

private:
    SvgIconEngine(const SvgIconEngine& other) = default;

    // Shared by the copies Qt makes of an icon; the renderer is only read.
    std::shared_ptr<QSvgRenderer> renderer_;
};
