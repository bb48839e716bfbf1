#pragma once

#include "processing/returncomparison.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <optional>
#include <vector>

// A comparison as a table, one row per entry, with the columns a saved
// comparison has (ComparisonTable). It lists every entry or those of one
// situation, in the comparison's order or sorted by a column. A worker's
// messages and corrections show on one line; the whole list, one per line,
// is the cell's tooltip and texts().
class ComparisonModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        Situation,
        Cpf,
        Nis,
        Nome,
        Dn,
        Before,
        Now,
        Changes,
    };

    // `comparison` must outlive the model.
    explicit ComparisonModel(const ReturnComparison& comparison, QObject* parent = nullptr);

    // Lists the entries of `situation` only, or all of them.
    void setSituation(std::optional<ReturnComparison::Situation> situation);
    std::optional<ReturnComparison::Situation> situation() const { return situation_; }

    // A row's texts, as a saved comparison holds them.
    QStringList texts(int row) const;
    // The entries listed, as indexes in the comparison, in the order shown.
    const std::vector<int>& listed() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // Situations in their order (Resolvido first), DN as dates, NOME and the
    // messages as Portuguese text, which puts a check's workers together;
    // empty cells last either way. A column of -1 is the comparison's order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    void sortRows();

    const ReturnComparison& comparison_;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    std::optional<ReturnComparison::Situation> situation_;
    // The listed entries' indexes in the comparison.
    std::vector<int> rows_;
    QStringList headings_;
    // The texts of the row last asked for: a view asks for each of its cells
    // in turn, in every role.
    mutable int cachedRow_ = -1;
    mutable QStringList cached_;
};
