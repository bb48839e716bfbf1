#include "sheet/showncolumns.h"

#include "sheet/resultsheet.h"

std::vector<int> ShownColumns::of(const ResultSheet& sheet)
{
    std::vector<int> columns;
    for (int col = 1; col <= sheet.ColCount(); ++col) {
        if (!sheet.IsColumnHidden(col))
            columns.push_back(col);
    }
    return columns;
}
