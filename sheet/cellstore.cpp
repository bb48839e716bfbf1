#include "sheet/cellstore.h"

#include "text/varint.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {
constexpr CellStore::Handle kFirstPoolHandle = CellStore::kMaxInterned + 1;
constexpr std::size_t kFirstPoolBytes = std::size_t{1} << 12;
} // namespace

CellStore::CellStore() = default;
CellStore::~CellStore() = default;
CellStore::CellStore(CellStore&&) noexcept = default;
CellStore& CellStore::operator=(CellStore&&) noexcept = default;

CellStore::Handle CellStore::intern(std::string_view utf8)
{
    if (utf8.empty())
        return kEmpty;
    if (const Handle existing = findInterned(utf8))
        return existing;
    if (internedUtf8_.size() >= kMaxInterned)
        throw std::length_error("too many interned texts");
    internedUtf8_.emplace_back(utf8);
    internedText_.push_back(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    return static_cast<Handle>(internedUtf8_.size());
}

CellStore::Handle CellStore::findInterned(std::string_view utf8) const
{
    for (std::size_t i = 0; i < internedUtf8_.size(); ++i) {
        if (internedUtf8_[i] == utf8)
            return static_cast<Handle>(i + 1);
    }
    return kEmpty;
}

CellStore::Handle CellStore::addText(std::string_view utf8)
{
    if (utf8.empty())
        return kEmpty;
    const std::size_t needed = Varint::size(utf8.size()) + utf8.size();
    if (needed > kMaxPoolBytes - poolUsed_)
        throw std::length_error("too much text in one sheet");
    if (pool_.capacity() - poolUsed_ < needed)
        pool_.reserve(std::max(poolUsed_ + needed, kFirstPoolBytes));
    const std::size_t position = poolUsed_;
    char* out = Varint::write(pool_.data() + position, utf8.size());
    std::memcpy(out, utf8.data(), utf8.size());
    poolUsed_ += needed;
    return static_cast<Handle>(position + kFirstPoolHandle);
}

CellStore::Handle CellStore::storeText(std::string_view utf8)
{
    if (const Handle h = findInterned(utf8))
        return h;
    return addText(utf8);
}

std::string_view CellStore::utf8(Handle h) const
{
    if (h == kEmpty)
        return {};
    if (h <= kMaxInterned)
        return h <= internedUtf8_.size() ? std::string_view(internedUtf8_[h - 1])
                                         : std::string_view();
    const std::size_t position = h - kFirstPoolHandle;
    if (position >= poolUsed_)
        return {};
    const char* p = pool_.data() + position;
    const std::size_t length = Varint::read(p);
    return {p, length};
}

QString CellStore::text(Handle h) const
{
    if (isInterned(h) && h <= internedText_.size())
        return internedText_[h - 1];
    const std::string_view bytes = utf8(h);
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

CellStore::RowWriter CellStore::appendRow()
{
    rows_.push_back(Row{});
    return RowWriter(*this, rows() - 1);
}

void CellStore::resizeRows(int rows)
{
    rows = std::max(rows, 0);
    if (rows < this->rows()) {
        const auto dropped = [rows](const auto& entry) { return entry.first >= rows; };
        std::erase_if(escaped_, dropped);
        std::erase_if(extras_, dropped);
    }
    rows_.resize(static_cast<std::size_t>(rows));
}

void CellStore::setHandle(int row, int col, Handle h)
{
    if (row < 0 || col < 0)
        return;
    if (row >= rows()) {
        if (h == kEmpty)
            return;
        resizeRows(row + 1);
    }
    if (col < kInlineColumns) {
        Row& cells = rows_[static_cast<std::size_t>(row)];
        const int narrow = col - kFirstNarrowColumn;
        if (col < kFirstNarrowColumn)
            cells.lead[static_cast<std::size_t>(col)] = h;
        else if (narrow >= kNarrowColumns)
            cells.tail[static_cast<std::size_t>(narrow - kNarrowColumns)] = h;
        else
            setNarrow(row, narrow, h);
        return;
    }
    const auto index = static_cast<std::size_t>(col - kInlineColumns);
    auto it = extras_.find(row);
    if (it == extras_.end()) {
        if (h == kEmpty)
            return;
        it = extras_.emplace(row, std::vector<Handle>()).first;
    }
    if (it->second.size() <= index)
        it->second.resize(index + 1, kEmpty);
    it->second[index] = h;
}

void CellStore::setNarrow(int row, int narrow, Handle h)
{
    std::uint8_t& byte =
        rows_[static_cast<std::size_t>(row)].narrow[static_cast<std::size_t>(narrow)];
    const auto at = static_cast<std::size_t>(narrow);
    if (h <= kMaxInterned) {
        if (byte == kEscaped) {
            auto it = escaped_.find(row);
            it->second[at] = kEmpty;
            if (std::all_of(it->second.begin(), it->second.end(),
                            [](Handle other) { return other == kEmpty; }))
                escaped_.erase(it);
        }
        byte = static_cast<std::uint8_t>(h);
        return;
    }
    escaped_[row][at] = h; // a new entry starts all empty
    byte = kEscaped;
}

CellStore::Handle CellStore::escapedHandle(int row, int narrow) const
{
    const auto it = escaped_.find(row);
    return it == escaped_.end() ? kEmpty : it->second[static_cast<std::size_t>(narrow)];
}

CellStore::Handle CellStore::extraHandle(int row, int col) const
{
    const auto it = extras_.find(row);
    if (it == extras_.end())
        return kEmpty;
    const auto index = static_cast<std::size_t>(col - kInlineColumns);
    return index < it->second.size() ? it->second[index] : kEmpty;
}

namespace {
template <typename Map> void remapRows(Map& map, const std::function<int(int oldRow)>& newRow)
{
    Map remapped;
    remapped.reserve(map.size());
    for (auto& [row, cells] : map) {
        const int to = newRow(row);
        if (to >= 0)
            remapped.emplace(to, std::move(cells));
    }
    map = std::move(remapped);
}
} // namespace

void CellStore::remapSideRows(const std::function<int(int oldRow)>& newRow)
{
    remapRows(escaped_, newRow);
    remapRows(extras_, newRow);
}

int CellStore::removeRowsIf(const std::function<bool(int row)>& doomed)
{
    const int n = rows();
    std::vector<int> newIndex;
    if (!extras_.empty() || !escaped_.empty())
        newIndex.resize(static_cast<std::size_t>(n), -1);
    int kept = 0;
    for (int row = 0; row < n; ++row) {
        if (doomed(row))
            continue;
        if (kept != row)
            rows_[static_cast<std::size_t>(kept)] = rows_[static_cast<std::size_t>(row)];
        if (!newIndex.empty())
            newIndex[static_cast<std::size_t>(row)] = kept;
        ++kept;
    }
    if (!newIndex.empty())
        remapSideRows(
            [&newIndex](int oldRow) { return newIndex[static_cast<std::size_t>(oldRow)]; });
    rows_.resize(static_cast<std::size_t>(kept));
    return n - kept;
}

void CellStore::removeRows(int first, int count)
{
    if (first < 0 || count <= 0 || first >= rows())
        return;
    const int last = first + std::min(count, rows() - first); // one past
    removeRowsIf([first, last](int row) { return row >= first && row < last; });
}

std::size_t CellStore::memoryBytes() const
{
    std::size_t bytes = rows_.allocatedBytes() + pool_.capacity();
    for (const auto& [row, cells] : extras_)
        bytes += sizeof(row) + cells.capacity() * sizeof(Handle) + 32;
    bytes += escaped_.size() * (sizeof(int) + sizeof(std::array<Handle, kNarrowColumns>) + 32);
    return bytes;
}
