#pragma once

#include <QMargins>
#include <QRect>

#include <functional>
#include <vector>

class QWidget;

// Where the window's controls go, and where the window itself goes on its
// screen. The layout is designed in twips and laid out at 15 twips a logical
// pixel, so Qt scales it whole on high-density screens; where only the fonts
// are made larger (a higher logical dpi), it grows with them. The window opens
// at its designed size when that fits the screen, else fitted into it, and can
// be resized: each anchored control follows the edges of its parent it was
// anchored to.
class WindowLayout
{
public:
    // At 96 logical dots per inch.
    static constexpr int kTwipsPerPixel = 15;

    // `availableArea` is where the window fits itself, frame included: read
    // each time it is fitted.
    WindowLayout(QWidget& window, std::function<QRect()> availableArea);

    // A place designed in twips, in pixels at the window's dpi.
    QRect twips(int left, int top, int width, int height) const;
    // A size or a length designed in pixels at 96 dpi, at the window's dpi.
    QSize scaled(QSize designed) const;
    int scaled(int designed) const;

    // The control keeps its present place relative to the `edges` of its
    // parent: following both edges of a side stretches it, one edge moves
    // it. Parents are anchored before the controls in them.
    void anchor(QWidget* control, Qt::Edges edges);
    // Places the anchored controls for their parents' present sizes.
    void placeAnchored() const;

    // When the window is first shown: fitted into the available area.
    void windowShown();
    // After each move or resize of the window: fitted once more when the
    // window system reports another frame than the one assumed.
    void windowMoved();

private:
    struct Anchored
    {
        QWidget* control;
        QRect designed;
        QSize designedParent;
        Qt::Edges edges;
    };

    QMargins frameMargins() const;
    void fitInto(const QRect& area, const QMargins& frame);
    bool maximized() const;

    QWidget& window_;
    std::function<QRect()> availableArea_;
    int dpi_;
    std::vector<Anchored> anchored_;
    bool fitted_ = false;
    bool refitted_ = false;
    QMargins fittedFrame_; // the frame the window was last fitted with
};
