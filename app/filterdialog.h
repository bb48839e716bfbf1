#pragma once

#include "sheet/columnvalues.h"

#include <QDialog>

#include <vector>

class FilterValuesModel;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QTimer;

// "Filtrar…" on a column: the column's texts with their counts, each with a
// box that says whether rows holding it stay shown. A search box narrows
// the list as the user types, and then, as in a spreadsheet, OK (or Enter
// in the box) shows the texts it found and left ticked: "only the cancelled
// CPFs" is "cancelado" and Enter. "Selecionar todos" and "Limpar" act on
// what the list shows. The dialog opens no larger than its screen, so OK
// and Cancelar are always there to click. A screen reader hears each text
// as a check box, ticked or not, in a list named after the column, hears
// the current box when the list takes the focus, and hears of each box
// that changes in view.
class FilterDialog : public QDialog
{
    Q_OBJECT

public:
    // `values` must outlive the dialog; `chosen` holds one flag per value,
    // all true for a column without a filter.
    FilterDialog(const QString& heading, const std::vector<ColumnValues::Value>& values,
                 std::vector<bool> chosen, QWidget* parent = nullptr);

    // One flag per value: whether its rows stay shown. Read after the user
    // accepted the dialog.
    std::vector<bool> chosen() const;

    // What the search box says is listed first; a choice that would let no
    // row through leaves the dialog open.
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Lists what the search box says; false, the list unchanged, when
    // memory runs short.
    bool search();
    void chooseListed(bool choose);
    void tellToggled(int row);
    void tellCurrent();
    void fitScreen();

    FilterValuesModel* model_;
    QLineEdit* search_;
    QListView* list_;
    QTimer* searchDelay_;
    QPushButton* ok_;
    QLabel* shortOfMemory_;
    // Set while "Selecionar todos" or "Limpar" changes the boxes, which
    // tells of them itself.
    bool choosingListed_ = false;
};
