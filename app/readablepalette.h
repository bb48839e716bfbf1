#pragma once

#include <QObject>
#include <QPalette>

class QColor;

// Colours low vision can read. The default style's selection (white on
// #308cc6, 3.7:1) and placeholder text (4.0:1) are below the 4.5:1 WCAG asks
// of text; they are made darker or lighter, keeping their hue, until they
// reach it, and every other colour stays the platform's. A high-contrast
// palette the user chose is the platform's to give and is never changed:
// on Windows its mode is asked for; elsewhere its colours already pass.
class ReadablePalette : public QObject
{
    Q_OBJECT

public:
    static constexpr double kLeastContrast = 4.5;

    // WCAG 2's contrast ratio of two colours, from 1 to 21; a translucent
    // `foreground` is taken as painted over `background`.
    static double contrast(const QColor& foreground, const QColor& background);

    // `platform` with the selection, in the active and inactive window, and
    // the placeholder text moved to kLeastContrast against their text and
    // ground where they read below it (the selection also when a style
    // shades it a tenth lighter or darker, as list items are); the roles
    // changed are the only ones set, so the others keep following the
    // platform.
    static QPalette from(const QPalette& platform);

    // Gives the application the readable palette, now and whenever the
    // platform's palette changes (the user turning high contrast on or off).
    static void keepApplicationReadable();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit ReadablePalette(QObject* parent);
    static bool platformHighContrast();
    void apply();

    bool applying_ = false;
};
