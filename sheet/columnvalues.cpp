#include "sheet/columnvalues.h"

#include "sheet/resultsheet.h"
#include "sheet/rowfilter.h"
#include "text/bytescan.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {
std::uint64_t hashOf(std::string_view text)
{
    // FNV-1a: the texts are short (names, numbers), and this one is quick
    // on them.
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : text)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return hash;
}

struct Counted
{
    std::uint64_t prefix;
    std::string_view text;
    int rows;
};

struct Key
{
    std::uint64_t prefix;
    std::uint32_t fewerRows; // so that more rows sort first
    std::uint32_t index;
};

// Orders the keys by fewerRows, then prefix: a byte a pass from the lowest,
// each pass stable, a pass whose byte is the same in every key skipped. A
// million keys take a few passes over memory, where a comparison sort takes
// twenty.
void radixSort(std::vector<Key>& keys)
{
    std::vector<Key> sorted(keys.size());
    std::array<std::size_t, 256> starts{};
    auto digit = [](const Key& key, int pass) -> std::size_t {
        return pass < 8 ? (key.prefix >> (8 * pass)) & 0xFF
                        : (key.fewerRows >> (8 * (pass - 8))) & 0xFF;
    };
    for (int pass = 0; pass < 12; ++pass) {
        starts.fill(0);
        for (const Key& key : keys)
            ++starts[digit(key, pass)];
        if (std::find(starts.begin(), starts.end(), keys.size()) != starts.end())
            continue;
        std::size_t at = 0;
        for (std::size_t& start : starts)
            at += std::exchange(start, at);
        for (const Key& key : keys)
            sorted[starts[digit(key, pass)]++] = key;
        keys.swap(sorted);
    }
}
} // namespace

std::vector<ColumnValues::Value> ColumnValues::of(const ResultSheet& sheet, int col)
{
    if (col < 1 || col > sheet.ColCount())
        return {};
    const CellStore& cells = sheet.Cells();
    const RowFilter::Matcher others(sheet.Filter(), cells, col);
    // Interned messages, which fill most cells, are counted by handle; the
    // other texts (names, numbers), of which one may be stored many times,
    // are gathered and counted by their bytes below.
    std::vector<int> interned(std::size_t(cells.internedCount()) + 1, 0);
    std::vector<CellStore::Handle> pooled;
    for (int row = 0; row < sheet.RowCount(); ++row) {
        if (!others.accepts(row))
            continue;
        const CellStore::Handle h = cells.row(row).handle(col - 1);
        if (h < interned.size())
            ++interned[h];
        else
            pooled.push_back(h);
    }

    // Each distinct text once, in the order first met (the pool's own
    // order, so its bytes are read in one sweep), found again through an
    // open-addressing table at most half full that holds a text's place
    // and its hash: a million names cost no allocation each. The interned
    // texts go in first, so that a pool text spelling one of them (a
    // message written over a cell) counts with it.
    std::vector<Counted> distinct;
    distinct.reserve(interned.size() + std::min<std::size_t>(pooled.size(), 1 << 16));
    struct Slot
    {
        std::uint32_t place = 0; // 1 + the index into distinct, 0 when free
        std::uint32_t hash = 0;
    };
    std::vector<Slot> table(
        std::bit_ceil(std::max<std::size_t>((pooled.size() + interned.size()) * 2, 16)));
    const std::size_t mask = table.size() - 1;
    auto count = [&](std::string_view text, int rows) {
        const std::uint64_t hash = hashOf(text);
        for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
            Slot& slot = table[at];
            if (slot.place == 0) {
                distinct.push_back({ByteScan::prefixKey(text), text, rows});
                slot = {static_cast<std::uint32_t>(distinct.size()),
                        static_cast<std::uint32_t>(hash >> 32)};
                return;
            }
            Counted& seen = distinct[slot.place - 1];
            if (slot.hash == static_cast<std::uint32_t>(hash >> 32) && seen.text == text) {
                seen.rows += rows;
                return;
            }
        }
    };
    if (interned[CellStore::kEmpty] > 0)
        distinct.push_back({0, {}, interned[CellStore::kEmpty]});
    for (CellStore::Handle h = 1; h < interned.size(); ++h) {
        if (interned[h] > 0)
            count(cells.utf8(h), interned[h]);
    }
    for (const CellStore::Handle h : pooled)
        count(cells.utf8(h), 1);
    pooled = {};
    table = {};

    // Most rows first, then in text order: 16-byte keys radix-sorted by
    // their rows and first eight bytes, the texts read again only where
    // those tie.
    std::vector<Key> keys;
    keys.reserve(distinct.size());
    for (std::size_t i = 0; i < distinct.size(); ++i)
        keys.push_back({distinct[i].prefix,
                        static_cast<std::uint32_t>(INT32_MAX - distinct[i].rows),
                        static_cast<std::uint32_t>(i)});
    radixSort(keys);
    auto tied = [](const Key& a, const Key& b) {
        return a.fewerRows == b.fewerRows && a.prefix == b.prefix;
    };
    for (auto run = keys.begin(); run != keys.end();) {
        const auto end =
            std::find_if_not(run + 1, keys.end(), [&](const Key& key) { return tied(*run, key); });
        if (end - run > 1)
            std::sort(run, end, [&distinct](const Key& a, const Key& b) {
                return distinct[a.index].text < distinct[b.index].text;
            });
        run = end;
    }
    std::vector<Value> values;
    values.reserve(keys.size());
    for (const Key& key : keys)
        values.push_back({distinct[key.index].text, distinct[key.index].rows});
    return values;
}
