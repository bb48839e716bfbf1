#pragma once

#include <QTableView>

class ResultSheet;
class SheetModel;

// The result sheet as a widget: the grid that shows a ResultSheet it owns,
// laid out by the sheet template. The commands change the sheet alone; the
// grid follows its signals. The sheet holds the one selection: what the user
// selects here becomes the sheet's selection, and a command's selection shows
// here.
class SheetView : public QTableView
{
    Q_OBJECT

public:
    explicit SheetView(QWidget* parent = nullptr);
    ~SheetView() override;

    ResultSheet& sheet() { return *sheet_; }
    const ResultSheet& sheet() const { return *sheet_; }
    SheetModel& sheetModel() { return *model_; }

    // Puts the selected cells on the clipboard as tab-separated text
    // (Ctrl+C), hidden columns left out.
    void copySelection() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void applyTemplate();
    void followReset();
    void followHiddenColumns(int col1, int col2);
    void showSheetSelection();
    void takeViewSelection();
    void scrollToCell(int row, int col);

    ResultSheet* sheet_;
    SheetModel* model_;
    int digitWidth_ = 0;
    // Set while one side's selection is being copied to the other, so that
    // the copy does not bounce back.
    bool syncingSelection_ = false;
};
