#include "app/filtervaluesmodel.h"

#include "sheet/grid/sheetfinder.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace {
const QString kEmptyText = QStringLiteral("(vazias)");

// Folds text of ASCII and Latin-1 letters (the names and messages of a
// return file) into `out` the way SheetFinder::fold does, but byte by byte
// into a buffer that is used again: a search goes through a million texts
// and a QString each would cost more than the comparison. False, with `out`
// undefined, for any other character.
bool foldLatin(std::string_view utf8, std::string& out)
{
    static const std::array<std::string, 128> folded = [] {
        std::array<std::string, 128> table;
        for (std::size_t i = 0; i < table.size(); ++i)
            table[i] =
                SheetFinder::fold(QString(QChar(static_cast<char16_t>(0x80 + i)))).toStdString();
        return table;
    }();
    out.clear();
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x80) {
            out.push_back(byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a')
                                                     : utf8[i]);
            continue;
        }
        // Two bytes, 110000xx 10xxxxxx, for U+0080 to U+00FF.
        if ((byte & 0xFE) != 0xC2 || i + 1 == utf8.size())
            return false;
        const auto next = static_cast<unsigned char>(utf8[++i]);
        if ((next & 0xC0) != 0x80)
            return false;
        out.append(folded[((byte & 0x01u) << 6) | (next & 0x3Fu)]);
    }
    return true;
}
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
        return chosen_[value] ? Qt::Checked : Qt::Unchecked;
    default:
        return {};
    }
}

bool FilterValuesModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole ||
        !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    setChosen(static_cast<std::size_t>(listed_[static_cast<std::size_t>(index.row())]),
              value.toInt() == Qt::Checked);
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
    const QString folded = SheetFinder::fold(search);
    if (folded == foldedNeedle_)
        return;
    // Typing one more letter can only drop values from those listed, so
    // only they need looking at again.
    const bool narrowing = folded.contains(foldedNeedle_);
    foldedNeedle_ = folded;
    needle_ = folded.toStdString();
    emptyMatches_ = SheetFinder::fold(kEmptyText).contains(folded);

    std::vector<int> listed;
    std::string scratch;
    if (needle_.empty()) {
        listed.resize(values_.size());
        std::iota(listed.begin(), listed.end(), 0);
    } else if (narrowing) {
        for (const int value : listed_) {
            if (matches(values_[static_cast<std::size_t>(value)], scratch))
                listed.push_back(value);
        }
    } else {
        for (std::size_t value = 0; value < values_.size(); ++value) {
            if (matches(values_[value], scratch))
                listed.push_back(static_cast<int>(value));
        }
    }
    beginResetModel();
    listed_ = std::move(listed);
    endResetModel();
}

void FilterValuesModel::chooseListed(bool choose)
{
    if (listed_.empty())
        return;
    for (const int value : listed_)
        setChosen(static_cast<std::size_t>(value), choose);
    Q_EMIT dataChanged(index(0), index(rowCount() - 1), {Qt::CheckStateRole});
}

QString FilterValuesModel::label(const ColumnValues::Value& value)
{
    static const QLocale brazil(QLocale::Portuguese, QLocale::Brazil);
    const QString text =
        value.utf8.empty()
            ? kEmptyText
            : QString::fromUtf8(value.utf8.data(), static_cast<qsizetype>(value.utf8.size()));
    return QStringLiteral("%1 (%2)").arg(text, brazil.toString(value.rows));
}

bool FilterValuesModel::matches(const ColumnValues::Value& value, std::string& scratch) const
{
    // What the user sees for the empty text is what the search looks in.
    if (value.utf8.empty())
        return emptyMatches_;
    if (foldLatin(value.utf8, scratch))
        return scratch.find(needle_) != std::string::npos;
    return SheetFinder::fold(
               QString::fromUtf8(value.utf8.data(), static_cast<qsizetype>(value.utf8.size())))
        .contains(foldedNeedle_);
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
