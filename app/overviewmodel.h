#pragma once

#include "processing/folderoverview.h"

#include <QAbstractTableModel>

#include <vector>

// A folder's overview as a table, one row per file: the company's CNPJ, the
// return's date, the file's name, its workers, those with a check not "OK",
// those with an orientation, then one count per check and orientation
// column, headed as the sheet heads them, and last what Processar would warn
// of the file (Observação, as the saved overview has it). A file that is not
// a return file shows why in the workers' column and no count.
//
// The model sorts itself: numbers as numbers, dates as dates, and files with
// nothing to compare (no count, a name not the government's) after the
// others whichever way, so "most problems first" never starts with them.
class OverviewModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        Cnpj,
        Date,
        FileName,
        Workers,
        WithProblems,
        WithOrientation,
        FirstCodeColumn, // then one per return column, from the first check
        Note = FirstCodeColumn + ReturnCounts::kColumns,
    };

    explicit OverviewModel(QObject* parent = nullptr);

    // Replaces the rows, in the order given.
    void setEntries(std::vector<FolderOverview::Entry> entries);
    // The rows in the order shown: what a saved overview holds.
    const std::vector<FolderOverview::Entry>& entries() const { return entries_; }
    const FolderOverview::Entry& entry(int row) const { return entries_.at(row); }

    // The return column (5..21) a table column counts; 0 for the others.
    static int returnColumn(int column);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // A count's first click sorts most first; the other columns' A to Z.
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    std::vector<FolderOverview::Entry> entries_;
};
