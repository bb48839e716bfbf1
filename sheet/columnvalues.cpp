#include "sheet/columnvalues.h"

#include "sheet/resultsheet.h"
#include "sheet/rowfilter.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace {
// A text's first eight bytes as one number that orders as the bytes do:
// most comparisons of a sort end there, without reading the texts again.
std::uint64_t prefixOf(std::string_view text)
{
    unsigned char bytes[8] = {};
    std::memcpy(bytes, text.data(), std::min<std::size_t>(text.size(), 8));
    std::uint64_t prefix = 0;
    for (const unsigned char byte : bytes)
        prefix = prefix << 8 | byte;
    return prefix;
}

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

    // An open-addressing table at most half full, one slot per distinct
    // text: a million names cost no allocation each. The interned texts go
    // in first, so that a pool text spelling one of them (a message written
    // over a cell) counts with it. No slot's handle is kEmpty but a free one.
    struct Slot
    {
        CellStore::Handle handle = CellStore::kEmpty;
        int rows = 0;
    };
    std::vector<Slot> table(
        std::bit_ceil(std::max<std::size_t>((pooled.size() + interned.size()) * 2, 16)));
    const std::size_t mask = table.size() - 1;
    std::size_t distinct = interned[CellStore::kEmpty] > 0 ? 1 : 0;
    auto count = [&](CellStore::Handle h, int rows) {
        const std::string_view text = cells.utf8(h);
        for (std::size_t at = hashOf(text) & mask;; at = (at + 1) & mask) {
            Slot& slot = table[at];
            if (slot.handle == CellStore::kEmpty) {
                slot = {h, rows};
                ++distinct;
                return;
            }
            if (slot.handle == h || cells.utf8(slot.handle) == text) {
                slot.rows += rows;
                return;
            }
        }
    };
    for (CellStore::Handle h = 1; h < interned.size(); ++h) {
        if (interned[h] > 0)
            count(h, interned[h]);
    }
    for (const CellStore::Handle h : pooled)
        count(h, 1);
    pooled = {};

    std::vector<Counted> counted;
    counted.reserve(distinct);
    if (interned[CellStore::kEmpty] > 0)
        counted.push_back({0, {}, interned[CellStore::kEmpty]});
    for (const Slot& slot : table) {
        if (slot.handle != CellStore::kEmpty) {
            const std::string_view text = cells.utf8(slot.handle);
            counted.push_back({prefixOf(text), text, slot.rows});
        }
    }
    table = {};
    // Most rows first, then in text order.
    std::sort(counted.begin(), counted.end(), [](const Counted& a, const Counted& b) {
        if (a.rows != b.rows)
            return a.rows > b.rows;
        return a.prefix != b.prefix ? a.prefix < b.prefix : a.text < b.text;
    });
    std::vector<Value> values;
    values.reserve(counted.size());
    for (const Counted& c : counted)
        values.push_back({c.text, c.rows});
    return values;
}
