#include "app/filtervaluesmodel.h"

#include "sheet/sheettemplate.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <numeric>

namespace {
const QString kEmptyText = QStringLiteral("(vazias)");

} // namespace

FilterValuesModel::FilterValuesModel(const std::vector<ColumnValues::Value>& values,
                                     std::vector<bool> chosen, QObject* parent)
    : QAbstractListModel(parent), values_(values), chosen_(std::move(chosen)),
      listed_(values.size())
{
    // Flags missing at the end count as values the filter lets through.
    chosen_.resize(values_.size(), true);
    chosenCount_ = static_cast<std::size_t>(std::count(chosen_.begin(), chosen_.end(), true));
    std::iota(listed_.begin(), listed_.end(), 0);
}

int FilterValuesModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(listed_.size());
}

QVariant FilterValuesModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const auto value = static_cast<std::size_t>(listed_[static_cast<std::size_t>(index.row())]);
    switch (role) {
    case Qt::DisplayRole:
        return label(values_[value]);
    case Qt::CheckStateRole:
        return (searching() ? found_[static_cast<std::size_t>(index.row())] : chosen_[value])
                   ? Qt::Checked
                   : Qt::Unchecked;
    default:
        return {};
    }
}

bool FilterValuesModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole ||
        !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    const auto row = static_cast<std::size_t>(index.row());
    const bool choose = value.toInt() == Qt::Checked;
    if (searching())
        setFound(row, choose);
    else
        setChosen(static_cast<std::size_t>(listed_[row]), choose);
    Q_EMIT dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags FilterValuesModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable |
           Qt::ItemNeverHasChildren;
}

void FilterValuesModel::listMatching(const QString& search)
{
    // Worked out whole before anything changes: short of memory, the list
    // and its ticks stay as they were.
    Search next;
    next.foldedNeedle = LatinFolder::fold(search);
    if (next.foldedNeedle == search_.foldedNeedle)
        return;
    next.needle = next.foldedNeedle.toStdString();
    next.emptyMatches = LatinFolder::fold(kEmptyText).contains(next.foldedNeedle);
    // Typing one more letter can only drop values from those listed, so
    // only they need looking at again.
    const bool narrowing = next.foldedNeedle.contains(search_.foldedNeedle);

    std::vector<int> listed;
    LatinFolder folder;
    if (next.needle.empty()) {
        listed.resize(values_.size());
        std::iota(listed.begin(), listed.end(), 0);
    } else if (narrowing) {
        for (const int value : listed_) {
            if (matches(values_[static_cast<std::size_t>(value)], next, folder))
                listed.push_back(value);
        }
    } else {
        for (std::size_t value = 0; value < values_.size(); ++value) {
            if (matches(values_[value], next, folder))
                listed.push_back(static_cast<int>(value));
        }
    }
    // A new search finds afresh: everything it lists is ticked.
    std::vector<bool> found(next.needle.empty() ? 0 : listed.size(), true);

    beginResetModel();
    search_ = std::move(next);
    listed_ = std::move(listed);
    found_ = std::move(found);
    foundCount_ = found_.size();
    endResetModel();
}

void FilterValuesModel::chooseListed(bool choose)
{
    if (listed_.empty())
        return;
    if (searching()) {
        found_.assign(found_.size(), choose);
        foundCount_ = choose ? found_.size() : 0;
    } else {
        for (const int value : listed_)
            setChosen(static_cast<std::size_t>(value), choose);
    }
    Q_EMIT dataChanged(index(0), index(rowCount() - 1), {Qt::CheckStateRole});
}

std::vector<bool> FilterValuesModel::chosen() const
{
    if (!searching())
        return chosen_;
    std::vector<bool> chosen(values_.size(), false);
    for (std::size_t row = 0; row < listed_.size(); ++row)
        chosen[static_cast<std::size_t>(listed_[row])] = found_[row];
    return chosen;
}

bool FilterValuesModel::anyChosen() const
{
    return (searching() ? foundCount_ : chosenCount_) > 0;
}

QString FilterValuesModel::label(const ColumnValues::Value& value)
{
    static const QLocale brazil = SheetTemplate::locale();
    const QString text =
        value.utf8.empty()
            ? kEmptyText
            : QString::fromUtf8(value.utf8.data(), static_cast<qsizetype>(value.utf8.size()));
    return QStringLiteral("%1 (%2)").arg(text, brazil.toString(value.rows));
}

bool FilterValuesModel::matches(const ColumnValues::Value& value, const Search& search,
                                LatinFolder& folder)
{
    // What the user sees for the empty text is what the search looks in.
    if (value.utf8.empty())
        return search.emptyMatches;
    if (const std::optional<std::string_view> folded = folder.fold(value.utf8))
        return folded->find(search.needle) != std::string_view::npos;
    return LatinFolder::fold(
               QString::fromUtf8(value.utf8.data(), static_cast<qsizetype>(value.utf8.size())))
        .contains(search.foldedNeedle);
}

void FilterValuesModel::setChosen(std::size_t value, bool choose)
{
    if (chosen_[value] == choose)
        return;
    chosen_[value] = choose;
    if (choose)
        ++chosenCount_;
    else
        --chosenCount_;
}

void FilterValuesModel::setFound(std::size_t row, bool choose)
{
    if (found_[row] == choose)
        return;
    found_[row] = choose;
    if (choose)
        ++foundCount_;
    else
        --foundCount_;
}
