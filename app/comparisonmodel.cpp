#include "app/comparisonmodel.h"

#include "processing/comparisontable.h"

#include <numeric>

ComparisonModel::ComparisonModel(const ReturnComparison& comparison, QObject* parent)
    : QAbstractTableModel(parent), comparison_(comparison), headings_(ComparisonTable::headings())
{
    setSituation(std::nullopt);
}

void ComparisonModel::setSituation(std::optional<ReturnComparison::Situation> situation)
{
    beginResetModel();
    situation_ = situation;
    cachedRow_ = -1;
    const std::vector<ReturnComparison::Entry>& entries = comparison_.entries();
    rows_.clear();
    if (!situation) {
        rows_.resize(entries.size());
        std::iota(rows_.begin(), rows_.end(), 0);
    } else {
        rows_.reserve(static_cast<std::size_t>(comparison_.count(*situation)));
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (entries[i].situation == *situation)
                rows_.push_back(static_cast<int>(i));
    }
    endResetModel();
}

QStringList ComparisonModel::texts(int row) const
{
    if (row != cachedRow_) {
        cached_ = ComparisonTable::row(
            comparison_, comparison_.entries()[static_cast<std::size_t>(rows_.at(row))]);
        cachedRow_ = row;
    }
    return cached_;
}

int ComparisonModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ComparisonModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(headings_.size());
}

QVariant ComparisonModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const bool messages = index.column() == Before || index.column() == Now;
    if (role == Qt::DisplayRole) {
        QString text = texts(index.row()).at(index.column());
        // One line per row, so a screen holds many workers.
        if (messages)
            text.replace(QStringLiteral(":\n"), QStringLiteral(": "))
                .replace(u'\n', QStringLiteral("; "));
        return text;
    }
    if (role == Qt::ToolTipRole && messages)
        return texts(index.row()).at(index.column());
    return {};
}

QVariant ComparisonModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < headings_.size())
        return headings_.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
