#include "sheet/grid/selectiontext.h"

#include "sheet/resultsheet.h"
#include "text/quotedfield.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

QString SelectionText::of(const ResultSheet& sheet, const CellRange& range)
{
    const int row1 = std::max(range.row1, 1);
    const int row2 = std::min(range.row2, sheet.ShownRowCount());
    std::vector<int> columns;
    for (int col = std::max(range.col1, 1); col <= std::min(range.col2, sheet.ColCount()); ++col) {
        if (!sheet.IsColumnHidden(col))
            columns.push_back(col);
    }
    if (row1 > row2 || columns.empty())
        return {};

    // Gathered as UTF-8, the sheet's own form, and converted once.
    std::string out;
    for (int row = row1; row <= row2; ++row) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (i > 0)
                out.push_back('\t');
            QuotedField::append(out, sheet.CellUtf8(sheet.ShownRow(row), columns[i]), "\t\r\n\"");
        }
        out.push_back('\n');
    }
    return QString::fromUtf8(out.data(), static_cast<qsizetype>(out.size()));
}
