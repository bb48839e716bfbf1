#include "sheet/grid/selectiontext.h"

#include "sheet/resultsheet.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace {
void appendCell(std::string& out, std::string_view cell)
{
    if (cell.find_first_of("\t\r\n\"") == std::string_view::npos) {
        out.append(cell);
        return;
    }
    out.push_back('"');
    for (const char c : cell) {
        if (c == '"')
            out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
}
} // namespace

QString SelectionText::of(const ResultSheet& sheet, const CellRange& range)
{
    const int row1 = std::max(range.row1, 1);
    const int row2 = std::min(range.row2, sheet.RowCount());
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
            appendCell(out, sheet.CellUtf8(row, columns[i]));
        }
        out.push_back('\n');
    }
    return QString::fromUtf8(out.data(), static_cast<qsizetype>(out.size()));
}
