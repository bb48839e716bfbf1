#pragma once

#include <QAbstractTableModel>

class ResultSheet;

// The sheet as an item model: the n-th shown row and column c at index
// (n - 1, c - 1), the row headings numbering the rows as shown. Read-only:
// the commands write the sheet and the model follows its signals, one model
// reset per sheet reset or change of the shown rows, so a command that
// rewrites a million rows costs the views one reset, not a million row
// inserts, and a filter or a sort maps rows through the sheet's index array
// instead of copying any cell.
class SheetModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit SheetModel(const ResultSheet& sheet, QObject* parent = nullptr);
    ~SheetModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    const ResultSheet& sheet() const { return sheet_; }

private:
    // What a screen reader says of a heading after its name: the sort and
    // the filter its button shows, as "classificada A→Z, filtrada: 2
    // valores"; empty for a column that has neither.
    QString headingState(int col) const;
    bool holds(const QModelIndex& index) const;
    void cellChanged(int row, int col);

    const ResultSheet& sheet_;
};
