#pragma once

#include <QTableView>

class ResultSheet;

// The result sheet as a widget: the grid that shows a ResultSheet it owns.
class SheetView : public QTableView
{
    Q_OBJECT

public:
    explicit SheetView(QWidget* parent = nullptr);
    ~SheetView() override;

    ResultSheet& sheet() { return *sheet_; }
    const ResultSheet& sheet() const { return *sheet_; }

private:
    ResultSheet* sheet_;
};
