#include "app/comparisonmodel.h"

#include "processing/comparisontable.h"
#include "sheet/grid/waitcursor.h"
#include "sheet/resultsheet.h"
#include "sheet/returnfields.h"
#include "text/collationkey.h"

#include <algorithm>
#include <numeric>
#include <string>

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
    sortRows();
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
    const bool messages =
        index.column() == Before || index.column() == Now || index.column() == Changes;
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

void ComparisonModel::sort(int column, Qt::SortOrder order)
{
    if (column >= columnCount())
        return;
    // Sorting by the messages reads every worker's: a second on 200,000.
    const WaitCursor wait;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> entries;
    entries.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& index : before)
        entries.push_back(rows_.at(index.row()));
    sortColumn_ = column;
    sortOrder_ = order;
    sortRows();
    // The current row and the selection follow their workers.
    std::vector<int> rowOf(comparison_.entries().size(), -1);
    for (std::size_t row = 0; row < rows_.size(); ++row)
        rowOf[static_cast<std::size_t>(rows_[row])] = static_cast<int>(row);
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        after.append(index(rowOf[static_cast<std::size_t>(entries[static_cast<std::size_t>(i)])],
                           before[i].column()));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ComparisonModel::sortRows()
{
    cachedRow_ = -1;
    if (sortColumn_ < 0) {
        std::sort(rows_.begin(), rows_.end());
        return;
    }
    const std::vector<ReturnComparison::Entry>& entries = comparison_.entries();
    // One key per listed entry, made once: empty where the cell is.
    std::vector<std::string> keys(rows_.size());
    CollationKey collation;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const ReturnComparison::Entry& entry = entries[static_cast<std::size_t>(rows_[i])];
        std::string& key = keys[i];
        if (sortColumn_ == Situation) {
            key.push_back(static_cast<char>('a' + static_cast<int>(entry.situation)));
            continue;
        }
        if (sortColumn_ == Before || sortColumn_ == Now || sortColumn_ == Changes) {
            // Empty where the worker is not in that file.
            const QString text = ComparisonTable::row(comparison_, entry).at(sortColumn_);
            if (!text.isEmpty())
                collation.append(text.toUtf8().toStdString(), key);
            continue;
        }
        const ResultSheet& sheet = comparison_.sheet(entry.side());
        const int sheetColumn = sortColumn_ == Cpf    ? ReturnFields::kCpfColumn
                                : sortColumn_ == Nis  ? ReturnFields::kNisColumn
                                : sortColumn_ == Nome ? ReturnFields::kNomeColumn
                                                      : ReturnFields::kDnColumn;
        const std::string_view cell = sheet.CellUtf8(entry.row(), sheetColumn);
        if (cell.empty())
            continue;
        if (sortColumn_ == Nome) {
            collation.append(cell, key);
        } else if (sortColumn_ == Dn && cell.size() == 8) {
            // DDMMAAAA: the year, the month, then the day.
            key.append(cell.substr(4, 4)).append(cell.substr(2, 2)).append(cell.substr(0, 2));
        } else if (sortColumn_ == Dn) {
            // Not a date: after the dates.
            key.append("~").append(cell);
        } else {
            // CPF and NIS are digits of a fixed length; a shorter one first.
            key.push_back(static_cast<char>(std::min<std::size_t>(cell.size(), 127)));
            key.append(cell);
        }
    }
    const bool descending = sortOrder_ == Qt::DescendingOrder;
    std::vector<std::size_t> order(rows_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const std::string& x = keys[a];
        const std::string& y = keys[b];
        if (x.empty() != y.empty())
            return y.empty();
        const auto ux = reinterpret_cast<const unsigned char*>(x.data());
        const auto uy = reinterpret_cast<const unsigned char*>(y.data());
        return descending ? std::lexicographical_compare(uy, uy + y.size(), ux, ux + x.size())
                          : std::lexicographical_compare(ux, ux + x.size(), uy, uy + y.size());
    });
    std::vector<int> sorted;
    sorted.reserve(rows_.size());
    for (const std::size_t i : order)
        sorted.push_back(rows_[i]);
    rows_ = std::move(sorted);
}
