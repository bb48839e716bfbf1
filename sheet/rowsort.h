#pragma once

#include "sheet/cellstore.h"

#include <cstdint>
#include <vector>

// The order a column's texts put a sheet's rows in, for the grid to show
// them in; the sheet's own rows never move. Each column sorts by what it
// holds: DN (ddmmyyyy) as dates, CPF and NIS as numbers, every other column
// as Portuguese text (accents after their base letter, case aside). Empty
// cells come last in either direction, and rows whose texts tie keep the
// file's order, so sorting again gives the same rows.
class RowSort
{
public:
    enum class Direction
    {
        Ascending,
        Descending
    };

    // Rows 0 to rowCount - 1 of `cells` (0-based), in the order of 1-based
    // column `col`.
    static std::vector<std::int32_t> order(const CellStore& cells, int rowCount, int col,
                                           Direction direction);
};
