#include "tools/sheetdump.h"

#include "sheet/resultsheet.h"
#include "sheet/returnfields.h"

#include <algorithm>

std::string SheetDump::summary(const ResultSheet& sheet)
{
    std::string text = "ROWS " + std::to_string(sheet.RowCount()) + "\nCOLS " +
                       std::to_string(sheet.ColCount()) + "\nHIDDEN ";
    bool first = true;
    const int lastColumn = std::max(sheet.ColCount(), ReturnFields::kCount);
    for (int col = 1; col <= lastColumn; ++col) {
        if (!sheet.IsColumnHidden(col))
            continue;
        if (!first)
            text += ',';
        text += std::to_string(col);
        first = false;
    }
    text += '\n';
    return text;
}

void SheetDump::appendEscaped(std::string& out, std::string_view cell)
{
    for (const char ch : cell) {
        switch (ch) {
        case '\t':
            out += "\\t";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += ch;
        }
    }
}

void SheetDump::write(const ResultSheet& sheet, std::FILE* out, bool summaryOnly)
{
    const std::string head = summary(sheet);
    std::fwrite(head.data(), 1, head.size(), out);
    if (summaryOnly)
        return;
    std::string buffer;
    constexpr std::size_t kFlushAt = std::size_t{1} << 20;
    for (int row = 1; row <= sheet.RowCount(); ++row) {
        for (int col = 1; col <= sheet.ColCount(); ++col) {
            if (col > 1)
                buffer += '\t';
            appendEscaped(buffer, sheet.CellUtf8(row, col));
        }
        buffer += '\n';
        if (buffer.size() >= kFlushAt) {
            std::fwrite(buffer.data(), 1, buffer.size(), out);
            buffer.clear();
        }
    }
    std::fwrite(buffer.data(), 1, buffer.size(), out);
}
