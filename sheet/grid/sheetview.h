#pragma once

#include <QTableView>

class QAction;
class ResultSheet;
class SheetModel;

// The result sheet as a widget: the grid that shows a ResultSheet it owns,
// laid out by the sheet template. The commands change the sheet alone; the
// grid follows its signals. The sheet holds the one selection: what the user
// selects here becomes the sheet's selection, and a command's selection shows
// here. Its context menu (right click or the Menu key) and shortcuts copy
// (while the grid has the focus), save and find (anywhere in its window); the
// window answers saving and finding, which need its dialogs.
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

    QAction* copyAction() const { return copy_; }
    QAction* saveAction() const { return save_; }
    QAction* findAction() const { return find_; }
    QAction* findNextAction() const { return findNext_; }

Q_SIGNALS:
    void saveRequested();
    void findRequested();
    void findNextRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void applyTemplate();
    QAction* addMenuAction(const QString& text, const QKeySequence& keys,
                           Qt::ShortcutContext context);
    void followReset();
    void followHiddenColumns(int col1, int col2);
    void showSheetSelection();
    void takeViewSelection();
    void scrollToCell(int row, int col);

    ResultSheet* sheet_;
    SheetModel* model_;
    QAction* copy_;
    QAction* save_;
    QAction* find_;
    QAction* findNext_;
    int digitWidth_ = 0;
    // Set while one side's selection is being copied to the other, so that
    // the copy does not bounce back.
    bool syncingSelection_ = false;
};
