#include "app/overviewmodel.h"

#include "sheet/sheettemplate.h"

#include <QLocale>

#include <algorithm>
#include <numeric>
#include <optional>

namespace {
constexpr int kColumnCount = OverviewModel::Note + 1;

bool isCount(int column)
{
    return column >= OverviewModel::Workers && column < OverviewModel::Note;
}

// What the import warned of a file it read; a file not read has its reason
// in the workers' column already.
QString noteOf(const FolderOverview::Entry& entry)
{
    return entry.counts.counted() ? entry.counts.warning() : QString();
}

// The number a count column shows; nothing for a file that was not counted.
std::optional<int> countOf(const FolderOverview::Entry& entry, int column)
{
    const ReturnCounts& counts = entry.counts;
    if (!counts.counted())
        return std::nullopt;
    switch (column) {
    case OverviewModel::Workers:
        return counts.workers();
    case OverviewModel::WithProblems:
        return counts.withProblems();
    case OverviewModel::WithOrientation:
        return counts.withOrientation();
    default:
        return counts.notOk(OverviewModel::returnColumn(column));
    }
}
} // namespace

OverviewModel::OverviewModel(QObject* parent) : QAbstractTableModel(parent) {}

void OverviewModel::setEntries(std::vector<FolderOverview::Entry> entries)
{
    beginResetModel();
    entries_ = std::move(entries);
    endResetModel();
}

int OverviewModel::returnColumn(int column)
{
    return column >= FirstCodeColumn && column < Note
               ? ReturnCounts::kFirstColumn + column - FirstCodeColumn
               : 0;
}

int OverviewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

int OverviewModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant OverviewModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const FolderOverview::Entry& entry = entries_[static_cast<std::size_t>(index.row())];
    const int column = index.column();
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(
            Qt::AlignVCenter |
            (isCount(column) && entry.counts.counted() ? Qt::AlignRight : Qt::AlignLeft));
    // The window narrows the file names and reasons, and a clerk may narrow
    // any column: a text is whole in its tooltip however it is elided (the
    // "(1)" at the end of a copy's name in particular).
    if (role == Qt::ToolTipRole) {
        const bool text =
            column <= FileName || column == Note || (column == Workers && !entry.counts.counted());
        if (!text)
            return {};
        role = Qt::DisplayRole;
    }
    if (role != Qt::DisplayRole)
        return {};
    switch (column) {
    case Cnpj:
        return entry.name.formattedCnpj();
    case Date:
        return entry.name.formattedDateTime();
    case FileName:
        return entry.fileName;
    case Note:
        return noteOf(entry);
    default:
        if (const std::optional<int> count = countOf(entry, column))
            return SheetTemplate::locale().toString(*count);
        // The reason once, where the counts would start.
        return column == Workers ? entry.counts.reason() : QString();
    }
}

QVariant OverviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::InitialSortOrderRole)
        return isCount(section) ? Qt::DescendingOrder : Qt::AscendingOrder;
    if (role != Qt::DisplayRole)
        return {};
    switch (section) {
    case Cnpj:
        return QStringLiteral("CNPJ");
    case Date:
        return QStringLiteral("Data do retorno");
    case FileName:
        return QStringLiteral("Arquivo");
    case Workers:
        return QStringLiteral("Trabalhadores");
    case WithProblems:
        return QStringLiteral("Com problema");
    case WithOrientation:
        return QStringLiteral("Com orientação");
    case Note:
        return QStringLiteral("Observação");
    default:
        return SheetTemplate::heading(returnColumn(section));
    }
}

void OverviewModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= kColumnCount)
        return;
    const bool descending = order == Qt::DescendingOrder;
    // -1: before the other, 1: after, 0: a tie, left in the order it had, so
    // a second sort keeps the first among equals.
    const auto compare = [column, descending](const FolderOverview::Entry& a,
                                              const FolderOverview::Entry& b) {
        const auto ordered = [descending](const auto& x, const auto& y) {
            if (x == y)
                return 0;
            return (x < y) != descending ? -1 : 1;
        };
        const auto missingLast = [](bool aHas) { return aHas ? -1 : 1; };
        switch (column) {
        case Cnpj:
        case Date: {
            const bool aHas = a.name.isGovernments(), bHas = b.name.isGovernments();
            if (aHas != bHas)
                return missingLast(aHas);
            if (!aHas)
                return 0;
            return column == Cnpj ? ordered(a.name.cnpj(), b.name.cnpj())
                                  : ordered(a.name.dateTime(), b.name.dateTime());
        }
        case FileName:
            return ordered(a.fileName.toCaseFolded(), b.fileName.toCaseFolded());
        case Note: {
            // Files with something said first, A to Z; the others after.
            const QString x = noteOf(a), y = noteOf(b);
            if (x.isEmpty() != y.isEmpty())
                return missingLast(!x.isEmpty());
            return ordered(x, y);
        }
        default: {
            const std::optional<int> x = countOf(a, column), y = countOf(b, column);
            if (x.has_value() != y.has_value())
                return missingLast(x.has_value());
            return x ? ordered(*x, *y) : 0;
        }
        }
    };

    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> rows(entries_.size());
    std::iota(rows.begin(), rows.end(), 0);
    std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
        return compare(entries_[static_cast<std::size_t>(a)],
                       entries_[static_cast<std::size_t>(b)]) < 0;
    });
    std::vector<FolderOverview::Entry> sorted;
    sorted.reserve(entries_.size());
    std::vector<int> newRow(entries_.size());
    for (std::size_t row = 0; row < rows.size(); ++row) {
        newRow[static_cast<std::size_t>(rows[row])] = static_cast<int>(row);
        sorted.push_back(std::move(entries_[static_cast<std::size_t>(rows[row])]));
    }
    entries_ = std::move(sorted);
    // The current row and the selection follow their files.
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after.append(this->index(newRow[static_cast<std::size_t>(index.row())], index.column()));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
