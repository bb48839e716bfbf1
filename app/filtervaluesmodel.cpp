#include "app/filtervaluesmodel.h"

#include "sheet/grid/sheetfinder.h"
#include "sheet/text/bytescan.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <numeric>

namespace {
const QString kEmptyText = QStringLiteral("(vazias)");

// What a character from U+0080 to U+00FF folds to: up to five bytes ("½"
// is "1⁄2"), kept in eight so that one copy of a whole entry writes it.
struct FoldedLatin
{
    std::array<char, 8> bytes{};
    std::size_t size = 0;
};

const std::array<FoldedLatin, 128>& foldedLatin()
{
    static const std::array<FoldedLatin, 128> table = [] {
        std::array<FoldedLatin, 128> folded;
        for (std::size_t i = 0; i < folded.size(); ++i) {
            const std::string utf8 =
                SheetFinder::fold(QString(QChar(static_cast<char16_t>(0x80 + i)))).toStdString();
            Q_ASSERT(utf8.size() <= folded[i].bytes.size());
            std::copy(utf8.begin(), utf8.end(), folded[i].bytes.begin());
            folded[i].size = utf8.size();
        }
        return folded;
    }();
    return table;
}

// Eight ASCII bytes with 'A' to 'Z' lowered: a byte's top bit is set by
// adding (0x80 - 'A') when it is 'A' or above, by adding (0x80 - 'Z' - 1)
// when it is above 'Z'; bytes below 0x80 carry into no neighbour.
std::uint64_t lowerAscii(std::uint64_t word)
{
    using ByteScan::kHigh;
    using ByteScan::kOnes;
    const std::uint64_t fromA = word + kOnes * (0x80 - 'A');
    const std::uint64_t pastZ = word + kOnes * (0x80 - 'Z' - 1);
    return word | ((fromA & ~pastZ & kHigh) >> 2);
}
} // namespace

// Folds text of ASCII and Latin-1 letters (the names and messages of a
// return file) the way SheetFinder::fold does, byte by byte into a buffer
// that is used again: a search goes through a million texts, and a QString
// each would cost more than the comparison. Nothing for any other character.
std::optional<std::string_view> FilterValuesModel::Folder::fold(std::string_view utf8)
{
    // No character grows by more than 5 bytes from 2, nor a copy by more
    // than 8 bytes past the end.
    const std::size_t room = utf8.size() * 5 / 2 + 8;
    if (buffer_.size() < room)
        buffer_.resize(room);
    const auto& folded = foldedLatin();
    char* out = buffer_.data();
    const char* in = utf8.data();
    const char* const end = in + utf8.size();
    while (in < end) {
        if (end - in >= 8) {
            const std::uint64_t word = ByteScan::load(in);
            if ((word & ByteScan::kHigh) == 0) {
                const std::uint64_t lowered = lowerAscii(word);
                std::memcpy(out, &lowered, sizeof lowered);
                in += 8;
                out += 8;
                continue;
            }
        }
        const auto byte = static_cast<unsigned char>(*in);
        if (byte < 0x80) {
            *out++ = byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : *in;
            ++in;
            continue;
        }
        // Two bytes, 110000xx 10xxxxxx, for U+0080 to U+00FF.
        if ((byte & 0xFE) != 0xC2 || end - in < 2)
            return std::nullopt;
        const auto next = static_cast<unsigned char>(in[1]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        const FoldedLatin& letter = folded[((byte & 0x01u) << 6) | (next & 0x3Fu)];
        std::memcpy(out, letter.bytes.data(), letter.bytes.size());
        out += letter.size;
        in += 2;
    }
    return std::string_view(buffer_.data(), static_cast<std::size_t>(out - buffer_.data()));
}

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
    Folder folder;
    if (needle_.empty()) {
        listed.resize(values_.size());
        std::iota(listed.begin(), listed.end(), 0);
    } else if (narrowing) {
        for (const int value : listed_) {
            if (matches(values_[static_cast<std::size_t>(value)], folder))
                listed.push_back(value);
        }
    } else {
        for (std::size_t value = 0; value < values_.size(); ++value) {
            if (matches(values_[value], folder))
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

bool FilterValuesModel::matches(const ColumnValues::Value& value, Folder& folder) const
{
    // What the user sees for the empty text is what the search looks in.
    if (value.utf8.empty())
        return emptyMatches_;
    if (const std::optional<std::string_view> folded = folder.fold(value.utf8))
        return folded->find(needle_) != std::string_view::npos;
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
