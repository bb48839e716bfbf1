#pragma once

#include <QTableView>

#include <functional>
#include <vector>

class QMenu;

class FrozenColumns;
class QAction;
class QLabel;
class ResultSheet;
class SheetHeader;
class SheetModel;

// The result sheet as a widget: the grid that shows a ResultSheet it owns,
// laid out by the sheet template. The commands change the sheet alone; the
// grid follows its signals. The sheet holds the one selection: what the user
// selects here becomes the sheet's selection, and a command's selection shows
// here. Its context menu (right click or the Menu key) and shortcuts copy
// (while the grid has the focus), save and find (anywhere in its window); the
// window answers saving and finding, which need its dialogs.
//
// As a worklist: CPF, NIS and NOME stay in view while the other columns
// scroll (on unless switched off in the menu, and lifted while the grid is
// too narrow to show the widest check column beside them); each heading's
// button sorts the rows or filters them by the column's texts, which the
// window asks for; a line left of the horizontal scroll bar counts the rows
// shown.
//
// To screen readers the grid and its frozen part are one table, whose active
// cell reports the focus only while the grid has it; the count is its
// status line, beside the table in the window's tree (the window lists it),
// which says each new count, and each notice told it, as it comes.
//
// Across, the grid scrolls by whole columns: each step of the scroll bar
// puts the next column's start at the frozen edge (the left edge when
// nothing is frozen), and a column wider than the room there is gone
// through in half-room steps until its end shows. A cell whose text is cut
// where it shows gives it whole in a tooltip, on the mouse and as the active
// cell, so that it can be read from the keyboard too.
class SheetView : public QTableView
{
    Q_OBJECT

public:
    explicit SheetView(QWidget* parent = nullptr);
    ~SheetView() override;

    ResultSheet& sheet() { return *sheet_; }
    const ResultSheet& sheet() const { return *sheet_; }

    // Puts the selected cells on the clipboard as tab-separated text
    // (Ctrl+C), hidden columns left out.
    void copySelection() const;
    enum class Found
    {
        Nothing,
        Below,       // after the active cell
        AfterTheTop, // only after going round to the top
    };
    // Makes the first cell after the active one that holds `text`, case and
    // accents aside, the active cell.
    Found find(const QString& text);

    // "Congelar CPF, NIS e NOME" in the grid's menu, checked while the
    // freeze is wanted.
    QAction* freezeAction() const { return freeze_; }

    // What the count calls the rows: "trabalhador" and "trabalhadores"
    // after a load, the same "com problemas" after an optimisation; no
    // count at all while `many` is empty.
    void setRowNouns(const QString& one, const QString& many);
    QString countText() const;
    // The line that counts the rows.
    QLabel* statusLine() const { return count_; }
    // Has screen readers told `notice` from the status line, soon after,
    // however often it comes.
    void announce(const QString& notice);
    // What the status line last told, a new count or a notice.
    QString lastSaid() const { return said_; }
    // The menu a column's heading button opens (1-based column), built
    // afresh for the column's state; the caller owns it.
    QMenu* columnMenu(int col);

    // The frozen cells are where they show, over the grid's left edge.
    QModelIndex indexAt(const QPoint& pos) const override;
    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

Q_SIGNALS:
    void saveRequested();
    void findRequested();
    void findNextRequested();
    void folderOverviewRequested();
    void comparisonRequested();
    // The user asks to choose the texts column `col` (1-based) shows.
    void filterRequested(int col);
    // A sort or a filter from the grid's menus found too little memory and
    // was not made; `message` says which, for the window to show.
    void memoryShort(const QString& message);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;

private:
    void applyTemplate();
    QAction* addMenuAction(const QString& text, const QKeySequence& keys,
                           Qt::ShortcutContext context);
    void changeRows(const std::function<void()>& change, const QString& failure);
    void followReset();
    void followHiddenColumns(int col1, int col2);
    void showSheetSelection();
    void takeViewSelection();
    void scrollToCell(int row, int col);
    void setFrozen(bool frozen);
    void followColumns();
    void layOutFrozen();
    bool roomBesideFrozen() const;
    int frozenEdge() const;
    void layOutScrollStops();
    void placeColumns();
    int stopShowing(int col) const;
    QRect shownPart(const QModelIndex& index) const;
    bool showsWhole(const QModelIndex& index) const;
    void showWholeText(const QModelIndex& index, QPoint at);
    void showCount();
    void sayNow();

    ResultSheet* sheet_;
    SheetModel* model_;
    QAction* copy_;
    QAction* save_;
    QAction* find_;
    QAction* findNext_;
    QAction* folderOverview_;
    QAction* comparison_;
    QAction* showAll_;
    QAction* freeze_;
    SheetHeader* header_;
    FrozenColumns* frozen_;
    QLabel* count_;
    QString one_;
    QString many_;
    QString said_;
    bool saying_ = false; // a saying is on its way
    int digitWidth_ = 0;
    // The header offsets the horizontal scroll bar steps through: its value
    // is an index here.
    std::vector<int> stops_{0};
    // Set while one side's selection is being copied to the other, so that
    // the copy does not bounce back.
    bool syncingSelection_ = false;
};
