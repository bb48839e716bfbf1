#include "sheet/columnvalues.h"

#include "sheet/resultsheet.h"
#include "sheet/rowfilter.h"

#include <algorithm>
#include <unordered_map>

std::vector<ColumnValues::Value> ColumnValues::of(const ResultSheet& sheet, int col)
{
    if (col < 1 || col > sheet.ColCount())
        return {};
    const CellStore& cells = sheet.Cells();
    const RowFilter::Matcher others(sheet.Filter(), cells, col);
    // Interned messages, which fill most cells, are counted by handle; only
    // the other texts (names, numbers) are counted by their bytes, since one
    // text may be stored more than once.
    std::vector<int> interned(std::size_t(cells.internedCount()) + 1, 0);
    std::unordered_map<std::string_view, int> pooled;
    for (int row = 0; row < sheet.RowCount(); ++row) {
        if (!others.accepts(row))
            continue;
        const CellStore::Handle h = cells.row(row).handle(col - 1);
        if (h < interned.size())
            ++interned[h];
        else
            ++pooled[cells.utf8(h)];
    }
    for (CellStore::Handle h = 0; h < interned.size(); ++h) {
        if (interned[h] > 0)
            pooled[cells.utf8(h)] += interned[h];
    }
    std::vector<Value> values;
    values.reserve(pooled.size());
    for (const auto& [text, rows] : pooled)
        values.push_back({text, rows});
    std::sort(values.begin(), values.end(), [](const Value& a, const Value& b) {
        return a.rows != b.rows ? a.rows > b.rows : a.utf8 < b.utf8;
    });
    return values;
}
