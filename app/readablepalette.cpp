#include "app/readablepalette.h"

#include "system/highcontrast.h"

#include <QApplication>
#include <QColor>
#include <QEvent>
#include <QScopedValueRollback>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {
double relativeLuminance(const QColor& colour)
{
    const auto linear = [](float channel) {
        return channel <= 0.03928f ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

QColor paintedOver(const QColor& foreground, const QColor& background)
{
    const float a = foreground.alphaF();
    const auto mix = [a](float f, float b) { return f * a + b * (1 - a); };
    return QColor::fromRgbF(mix(foreground.redF(), background.redF()),
                            mix(foreground.greenF(), background.greenF()),
                            mix(foreground.blueF(), background.blueF()));
}

// `moved`, opaque, made lighter or darker away from `fixed` in steps of its
// lightness until the two reach the least contrast, also where a style
// paints it up to `shading` percent lighter or darker; as it was when they
// do already.
QColor apart(const QColor& moved, const QColor& fixed, int shading)
{
    const auto reads = [&fixed, shading](const QColor& colour) {
        return std::min(ReadablePalette::contrast(colour.lighter(100 + shading), fixed),
                        ReadablePalette::contrast(colour.darker(100 + shading), fixed)) >=
               ReadablePalette::kLeastContrast;
    };
    const bool darken = relativeLuminance(moved) <= relativeLuminance(fixed);
    float h = 0;
    float s = 0;
    float l = 0;
    moved.getHslF(&h, &s, &l);
    QColor colour = moved;
    constexpr float kStep = 1.0f / 255;
    while (!reads(colour) && (darken ? l > 0 : l < 1)) {
        l = darken ? std::max(0.0f, l - kStep) : std::min(1.0f, l + kStep);
        colour = QColor::fromHslF(h, s, l);
    }
    return colour;
}

// Fusion paints a selected list item as a gradient from the selection's
// colour to a shade 3 % lighter; other styles shade it less or not at all.
constexpr int kSelectionShading = 10;

} // namespace

double ReadablePalette::contrast(const QColor& foreground, const QColor& background)
{
    double lighter = relativeLuminance(paintedOver(foreground, background));
    double darker = relativeLuminance(background);
    if (lighter < darker)
        std::swap(lighter, darker);
    return (lighter + 0.05) / (darker + 0.05);
}

QPalette ReadablePalette::from(const QPalette& platform)
{
    QPalette readable = platform;
    // Disabled controls are not asked to be read, and keep their greys.
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        const QColor highlight = platform.color(group, QPalette::Highlight);
        const QColor highlighted = platform.color(group, QPalette::HighlightedText);
        const QColor opaque = paintedOver(highlight, platform.color(group, QPalette::Base));
        if (const QColor apartFromText = apart(opaque, highlighted, kSelectionShading);
            apartFromText != opaque)
            readable.setColor(group, QPalette::Highlight, apartFromText);
        const QColor base = platform.color(group, QPalette::Base);
        const QColor placeholder = platform.color(group, QPalette::PlaceholderText);
        if (contrast(placeholder, base) < kLeastContrast)
            readable.setColor(group, QPalette::PlaceholderText,
                              apart(paintedOver(placeholder, base), base, 0));
    }
    return readable;
}

void ReadablePalette::keepApplicationReadable()
{
    auto* keeper = new ReadablePalette(qApp);
    qApp->installEventFilter(keeper);
    keeper->apply();
}

ReadablePalette::ReadablePalette(QObject* parent) : QObject(parent) {}

bool ReadablePalette::eventFilter(QObject* watched, QEvent* event)
{
    // After the change is done with: the palette is read again whole.
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange && !applying_)
        QMetaObject::invokeMethod(this, &ReadablePalette::apply, Qt::QueuedConnection);
    return QObject::eventFilter(watched, event);
}

bool ReadablePalette::platformHighContrast()
{
    return HighContrast::isOn();
}

void ReadablePalette::apply()
{
    const QScopedValueRollback guard(applying_, true);
    // The platform's own colours, without what was set here before: the
    // colours made readable for another palette may not suit this one.
    QApplication::setPalette(QPalette());
    if (platformHighContrast())
        return;
    const QPalette platform = QApplication::palette();
    const QPalette readable = from(platform);
    if (readable.resolveMask() != platform.resolveMask())
        QApplication::setPalette(readable);
}
