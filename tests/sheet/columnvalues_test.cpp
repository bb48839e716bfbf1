#include "sheet/columnvalues.h"
#include "sheet/resultsheet.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {
using Listed = std::vector<std::pair<std::string, int>>;

Listed listed(const ResultSheet& sheet, int col)
{
    Listed out;
    for (const ColumnValues::Value& value : ColumnValues::of(sheet, col))
        out.emplace_back(std::string(value.utf8), value.rows);
    return out;
}
} // namespace

// Each text once with its rows, most first, then in text order: an interned
// message and the same text kept in the pool are one text, an empty cell is
// the empty text, and only the rows the other columns' filters let through
// count, never the column's own filter.
TEST(ColumnValues, CountsEachTextOnceAmongTheRowsTheOtherFiltersShow)
{
    CellStore cells;
    const CellStore::Handle ok = cells.intern("OK");
    const CellStore::Handle bad = cells.intern("CPF inválido");
    const std::vector<std::pair<const char*, CellStore::Handle>> rows = {
        {"x", ok},
        {"x", bad},
        {"y", cells.addText("OK")},
        {"x", CellStore::kEmpty},
        {"x", cells.addText("Zé")},
        {"y", cells.addText("Zé")},
        {"x", cells.addText("Ana")},
    };
    for (const auto& [who, check] : rows) {
        CellStore::RowWriter row = cells.appendRow();
        row.set(0, cells.addText(who));
        row.set(5, check);
    }
    ResultSheet sheet;
    sheet.ReplaceCells(std::move(cells), int(rows.size()), 21);

    EXPECT_EQ(listed(sheet, 6),
              (Listed{{"OK", 2}, {"Zé", 2}, {"", 1}, {"Ana", 1}, {"CPF inválido", 1}}));
    sheet.SetColumnFilter(1, {"x"});
    EXPECT_EQ(listed(sheet, 6),
              (Listed{{"", 1}, {"Ana", 1}, {"CPF inválido", 1}, {"OK", 1}, {"Zé", 1}}));
    EXPECT_EQ(listed(sheet, 1), (Listed{{"x", 5}, {"y", 2}}));
    EXPECT_TRUE(listed(sheet, 22).empty());
}
