#pragma once

#include <QAccessibleWidget>

class SheetView;

// The main window to assistive technology: a window ("frame" to AT-SPI,
// where screen readers look for an application's window and its status
// bar), its controls as its children, and right after the grid the grid's
// status line. The line shows inside the grid, by its scroll bar, but a
// screen reader looks for a status bar among the window's controls and
// never inside a table: there it is found when the clerk asks for it.
class WindowAccessible final : public QAccessibleWidget
{
public:
    explicit WindowAccessible(QWidget* window);

    // Makes the main window's side: installed once, by the first window.
    static QAccessibleInterface* create(const QString& className, QObject* object);

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

private:
    SheetView* grid() const;
    // Where the status line is among the children; -1 without a grid.
    int statusIndex() const;
};
