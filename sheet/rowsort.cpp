#include "sheet/rowsort.h"

#include "sheet/growablememory.h"
#include "sheet/returnfields.h"
#include "text/bytescan.h"
#include "text/collationkey.h"
#include "text/varint.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace {
using Handle = CellStore::Handle;

enum class Kind
{
    Date,
    Number,
    Text
};

// What a key's first byte says in the date and number columns: the texts
// that are dates or numbers come before all the others.
constexpr char kValue = '\0';
constexpr char kOtherText = '\1';

bool allDigits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Two digits a byte, which keeps their order in half the bytes; an odd last
// digit shares its byte with a zero, as every text of its length does.
void appendDigits(std::string_view digits, std::string& key)
{
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        const int high = digits[i] - '0';
        const int low = i + 1 < digits.size() ? digits[i + 1] - '0' : 0;
        key.push_back(static_cast<char>(high << 4 | low));
    }
}

// The key of a non-empty text: at most 3 * text.size() + kMaxKeyOverhead
// bytes, which sizes the offsets into the keys.
constexpr std::size_t kMaxKeyOverhead = 16;

void appendKey(Kind kind, std::string_view text, CollationKey& collation, std::string& key)
{
    if (kind == Kind::Date) {
        if (text.size() == 8 && allDigits(text)) {
            key.push_back(kValue);
            const std::array<char, 8> yyyymmdd = {text[4], text[5], text[6], text[7],
                                                  text[2], text[3], text[0], text[1]};
            appendDigits(std::string_view(yyyymmdd.data(), yyyymmdd.size()), key);
            return;
        }
        key.push_back(kOtherText);
    } else if (kind == Kind::Number) {
        if (allDigits(text)) {
            // A longer number is a bigger one, once its leading zeros are
            // gone: a hostile file's 10,000 digits are compared by length
            // first, then digit by digit, never converted.
            const std::string_view digits =
                text.substr(std::min(text.find_first_not_of('0'), text.size()));
            key.push_back(kValue);
            if (digits.size() < 0xFF) {
                key.push_back(static_cast<char>(digits.size()));
            } else {
                key.push_back('\xFF');
                for (int shift = 56; shift >= 0; shift -= 8)
                    key.push_back(static_cast<char>(std::uint64_t{digits.size()} >> shift));
            }
            appendDigits(digits, key);
            return;
        }
        key.push_back(kOtherText);
    }
    collation.append(text, key);
}

Kind kindOf(int col)
{
    if (col == ReturnFields::kDnColumn)
        return Kind::Date;
    if (col == ReturnFields::kCpfColumn || col == ReturnFields::kNisColumn)
        return Kind::Number;
    return Kind::Text;
}

// A row's place in the sort: the first eight bytes of its key, big-endian,
// decide most comparisons without leaving the entry; the rest of the key, if
// any, waits in the arena at `offset`.
template <typename Offset> struct Entry
{
    std::uint64_t prefix;
    Offset offset;
    std::int32_t row;
};

constexpr std::size_t kPrefixBytes = 8;

// Short keys are padded with zeros, yet no key is another key with zeros
// after it: a text's key ends with the zero that closes its letters or with
// an accent's weight, which is never zero, and the keys of dates and numbers
// have the length their first bytes say. So a key of up to eight bytes is
// known by its prefix alone, and one whose prefix equals a short key's
// padding and goes on is the bigger.
static_assert(sizeof(ByteScan::prefixKey({})) == kPrefixBytes);

// The rests of a column's keys past their prefix, one after the other, each
// after its length as a varint. Dates and CPFs have none.
template <typename Offset> class KeyArena
{
public:
    static constexpr Offset kNoRest = std::numeric_limits<Offset>::max();

    // Where the key's rest went, or kNoRest. The caller keeps the arena
    // under kNoRest bytes.
    Offset add(const std::string& key)
    {
        if (key.size() <= kPrefixBytes)
            return kNoRest;
        const std::size_t at = used_;
        std::size_t n = key.size() - kPrefixBytes;
        memory_.reserve(used_ + Varint::kMostBytes + n);
        char* out = Varint::write(memory_.data() + used_, n);
        std::memcpy(out, key.data() + kPrefixBytes, key.size() - kPrefixBytes);
        used_ = static_cast<std::size_t>(out - memory_.data()) + key.size() - kPrefixBytes;
        return static_cast<Offset>(at);
    }

    // <0, 0 or >0 as the key whose rest is at a is below, equal to or above
    // the one at b, both having the same prefix.
    int compare(Offset a, Offset b) const
    {
        if (a == b)
            return 0;
        if (a == kNoRest || b == kNoRest)
            return a == kNoRest ? -1 : 1;
        const char* pa = memory_.data() + a;
        const char* pb = memory_.data() + b;
        const std::size_t ra = Varint::read(pa);
        const std::size_t rb = Varint::read(pb);
        // Most rests are a few words long, shorter than a call to memcmp.
        const std::size_t n = std::min(ra, rb);
        std::size_t i = 0;
        for (; i + 8 <= n; i += 8) {
            const std::uint64_t wa = ByteScan::loadBigEndian(pa + i);
            const std::uint64_t wb = ByteScan::loadBigEndian(pb + i);
            if (wa != wb)
                return wa < wb ? -1 : 1;
        }
        for (; i < n; ++i) {
            const auto ca = static_cast<unsigned char>(pa[i]);
            const auto cb = static_cast<unsigned char>(pb[i]);
            if (ca != cb)
                return ca < cb ? -1 : 1;
        }
        return ra < rb ? -1 : ra > rb ? 1 : 0;
    }

private:
    GrowableMemory memory_;
    std::size_t used_ = 0;
};

// What the first look at a column finds.
struct Survey
{
    int filled = 0;
    bool allInterned = true;
    // Bounds the bytes of the keys, to size the offsets into them.
    std::size_t keyBytes = 0;
    std::array<bool, CellStore::kMaxInterned + 1> interned{};
};

Survey survey(const CellStore& cells, int rowCount, int col0)
{
    Survey s;
    for (int r = 0; r < rowCount; ++r) {
        const Handle h = cells.row(r).handle(col0);
        if (h == CellStore::kEmpty)
            continue;
        ++s.filled;
        if (CellStore::isInterned(h)) {
            s.interned[h] = true;
            continue;
        }
        s.allInterned = false;
        s.keyBytes += 3 * cells.utf8(h).size() + kMaxKeyOverhead;
    }
    for (Handle h = 1; h <= CellStore::kMaxInterned; ++h) {
        if (s.interned[h])
            s.keyBytes += 3 * cells.utf8(h).size() + kMaxKeyOverhead;
    }
    return s;
}

// A column whose texts are all interned (the check columns): each text is
// ranked once, and the rows are counted into their ranks, which keeps the
// file's order within a rank.
std::vector<std::int32_t> orderByRank(const CellStore& cells, int rowCount, int col0, Kind kind,
                                      bool ascending, const Survey& s)
{
    constexpr std::size_t kSlots = CellStore::kMaxInterned + 1;
    std::array<std::string, kSlots> keys;
    std::vector<Handle> present;
    CollationKey collation;
    for (Handle h = 1; h < kSlots; ++h) {
        if (s.interned[h]) {
            appendKey(kind, cells.utf8(h), collation, keys[h]);
            present.push_back(h);
        }
    }
    std::sort(present.begin(), present.end(),
              [&](Handle a, Handle b) { return keys[a] < keys[b]; });
    std::array<std::uint32_t, kSlots> rank{};
    std::uint32_t ranks = 0;
    for (std::size_t i = 0; i < present.size(); ++i) {
        if (i == 0 || keys[present[i]] != keys[present[i - 1]])
            ++ranks;
        rank[present[i]] = ranks - 1;
    }
    // Bucket `ranks` holds the empty cells, last either way.
    std::array<std::int32_t, kSlots + 1> start{};
    auto bucket = [&](Handle h) {
        if (h == CellStore::kEmpty)
            return ranks;
        return ascending ? rank[h] : ranks - 1 - rank[h];
    };
    for (int r = 0; r < rowCount; ++r)
        ++start[bucket(cells.row(r).handle(col0)) + 1];
    for (std::size_t b = 1; b <= ranks; ++b)
        start[b] += start[b - 1];
    std::vector<std::int32_t> order(static_cast<std::size_t>(rowCount));
    for (int r = 0; r < rowCount; ++r)
        order[static_cast<std::size_t>(start[bucket(cells.row(r).handle(col0))]++)] = r;
    return order;
}

template <typename Offset>
std::vector<std::int32_t> orderByKeys(const CellStore& cells, int rowCount, int col0, Kind kind,
                                      bool ascending, const Survey& s)
{
    std::vector<std::int32_t> order(static_cast<std::size_t>(rowCount));
    std::vector<Entry<Offset>> entries;
    entries.reserve(static_cast<std::size_t>(s.filled));
    KeyArena<Offset> arena;
    CollationKey collation;
    std::string key;
    // An interned text's key is made once, however many rows hold it.
    std::array<std::optional<Entry<Offset>>, CellStore::kMaxInterned + 1> internedEntry;
    std::size_t empty = static_cast<std::size_t>(s.filled);
    for (int r = 0; r < rowCount; ++r) {
        const Handle h = cells.row(r).handle(col0);
        if (h == CellStore::kEmpty) {
            order[empty++] = r;
            continue;
        }
        std::optional<Entry<Offset>>* known =
            CellStore::isInterned(h) ? &internedEntry[h] : nullptr;
        if (known && *known) {
            entries.push_back({(*known)->prefix, (*known)->offset, r});
            continue;
        }
        key.clear();
        appendKey(kind, cells.utf8(h), collation, key);
        const Entry<Offset> entry{ByteScan::prefixKey(key), arena.add(key), r};
        entries.push_back(entry);
        if (known)
            *known = entry;
    }

    // The prefixes alone first, which leaves the arena and the rows aside;
    // then each run of rows sharing a prefix by the rests of their keys,
    // few enough to stay in the cache while their run is sorted, and by
    // row: ties keep the file's order in both directions.
    const int sign = ascending ? 1 : -1;
    std::sort(entries.begin(), entries.end(), [ascending](const auto& a, const auto& b) {
        return ascending ? a.prefix < b.prefix : a.prefix > b.prefix;
    });
    for (auto run = entries.begin(); run != entries.end();) {
        const auto end = std::find_if(run + 1, entries.end(),
                                      [&](const auto& e) { return e.prefix != run->prefix; });
        if (end - run > 1) {
            std::sort(run, end, [&](const auto& a, const auto& b) {
                const int c = arena.compare(a.offset, b.offset) * sign;
                return c != 0 ? c < 0 : a.row < b.row;
            });
        }
        run = end;
    }
    for (std::size_t i = 0; i < entries.size(); ++i)
        order[i] = entries[i].row;
    return order;
}
} // namespace

std::vector<std::int32_t> RowSort::order(const CellStore& cells, int rowCount, int col,
                                         Direction direction)
{
    if (rowCount <= 0)
        return {};
    const int col0 = col - 1;
    const Kind kind = kindOf(col);
    const bool ascending = direction == Direction::Ascending;
    const Survey s = survey(cells, rowCount, col0);
    if (s.allInterned)
        return orderByRank(cells, rowCount, col0, kind, ascending, s);
    // Four-byte offsets keep an entry at 16 bytes; only columns of
    // gigabytes need eight.
    if (s.keyBytes <= std::numeric_limits<std::uint32_t>::max())
        return orderByKeys<std::uint32_t>(cells, rowCount, col0, kind, ascending, s);
    return orderByKeys<std::uint64_t>(cells, rowCount, col0, kind, ascending, s);
}
