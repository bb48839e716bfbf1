#pragma once

#include "sheet/resultsheet.h"

#include <string>
#include <vector>

// Rows 1 to RowCount of a sheet, every column to ColCount, as UTF-8: what a
// test compares a sheet by.
inline std::vector<std::vector<std::string>> sheetRows(const ResultSheet& sheet)
{
    std::vector<std::vector<std::string>> rows;
    for (int r = 1; r <= sheet.RowCount(); ++r) {
        std::vector<std::string> cells;
        for (int c = 1; c <= sheet.ColCount(); ++c)
            cells.emplace_back(sheet.CellUtf8(r, c));
        rows.push_back(std::move(cells));
    }
    return rows;
}
