#pragma once

#include <QHeaderView>

class ResultSheet;

// The grid's column headings, each with a small button at its right edge
// that opens the column's menu (sort and filter), as a spreadsheet's
// AutoFilter does. The button shows the column's state: a funnel while the
// column is filtered, an arrow up or down while the rows are sorted by it.
// A click elsewhere on a heading still selects the column. The heading's
// text is centred in what the button leaves, so the button never covers it.
class SheetHeader : public QHeaderView
{
    Q_OBJECT

public:
    explicit SheetHeader(const ResultSheet& sheet, QWidget* parent = nullptr);

    // The button of a section, in the header's coordinates.
    QRect buttonRect(int logicalIndex) const;
    // The narrowest section that shows its heading whole beside the button.
    int widthShowingHeading(int logicalIndex) const;

Q_SIGNALS:
    // The column's menu is asked for, at `globalPos`: the button's corner,
    // or where the heading was right-clicked.
    void menuRequested(int logicalIndex, QPoint globalPos);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    int buttonSide() const;
    QRect buttonIn(const QRect& section) const;

    const ResultSheet& sheet_;
    // A press on a button opens the menu; its release must not select.
    bool pressedButton_ = false;
};
