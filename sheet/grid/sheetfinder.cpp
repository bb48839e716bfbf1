#include "sheet/grid/sheetfinder.h"

#include "sheet/resultsheet.h"
#include "sheet/showncolumns.h"
#include "text/bytescan.h"

#include <algorithm>
#include <cstdint>

namespace {
// "321.251.573-22" -> "32125157322", "08/06/1967" -> "08061967"; empty when
// the text holds anything but digits and that punctuation, or no
// punctuation at all (then the text itself is the digits).
std::string punctuatedDigits(const std::string& text)
{
    std::string digits;
    for (const char c : text) {
        if (c >= '0' && c <= '9')
            digits.push_back(c);
        else if (c != '.' && c != '-' && c != '/' && c != ' ')
            return {};
    }
    return digits.size() == text.size() ? std::string() : digits;
}
} // namespace

SheetFinder::SheetFinder(const QString& text)
    : needle_(LatinFolder::fold(text).toStdString()), digits_(punctuatedDigits(needle_))
{
}

namespace {
using ByteScan::isAscii;
} // namespace

bool SheetFinder::holds(std::string_view utf8) const
{
    return holds(utf8, needle_) || (!digits_.empty() && holds(utf8, digits_));
}

bool SheetFinder::holds(std::string_view utf8, const std::string& needle) const
{
    if (!isAscii(utf8)) {
        if (const std::optional<std::string_view> folded = folder_.fold(utf8))
            return folded->find(needle) != std::string_view::npos;
        const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
        return LatinFolder::fold(text).toStdString().find(needle) != std::string::npos;
    }
    // Most cells are ASCII: compared in place, byte by byte, case aside.
    if (utf8.size() < needle.size())
        return false;
    const std::size_t last = utf8.size() - needle.size();
    for (std::size_t i = 0; i <= last; ++i) {
        std::size_t n = 0;
        while (n < needle.size() && ByteScan::lowerAscii(utf8[i + n]) == needle[n])
            ++n;
        if (n == needle.size())
            return true;
    }
    return false;
}

std::optional<SheetFinder::Cell> SheetFinder::findAfter(const ResultSheet& sheet, int row,
                                                        int col) const
{
    const std::vector<int> columns = ShownColumns::of(sheet);
    const int rows = sheet.ShownRowCount();
    const int perRow = static_cast<int>(columns.size());
    if (needle_.empty() || perRow == 0 || rows == 0)
        return std::nullopt;

    // Where the search starts: the cell after (row, col), or (row, col)'s
    // place when it is not shown, as a row (0-based) and a shown column.
    const auto place = std::lower_bound(columns.begin(), columns.end(), col);
    const bool shown = place != columns.end() && *place == col;
    int startRow = std::clamp(row, 1, rows) - 1;
    int startIndex = static_cast<int>(place - columns.begin()) + (shown ? 1 : 0);
    if (startIndex == perRow) {
        startIndex = 0;
        startRow = (startRow + 1) % rows;
    }

    // Most cells are interned messages: each is looked at once. An ASCII
    // cell cannot hold a text that is not ASCII after folding.
    const bool asciiNeedle = isAscii(needle_);
    const CellStore& store = sheet.Cells();
    std::vector<std::int8_t> interned(CellStore::kMaxInterned + 1, -1);
    auto cellHolds = [&](CellStore::Handle h) {
        if (h == CellStore::kEmpty)
            return false;
        if (!CellStore::isInterned(h)) {
            const std::string_view text = store.utf8(h);
            return (asciiNeedle || !isAscii(text)) && holds(text);
        }
        std::int8_t& known = interned[h];
        if (known < 0)
            known = holds(store.utf8(h)) ? 1 : 0;
        return known == 1;
    };
    // Shown columns first to last - 1 of a 0-based row.
    auto scan = [&](int r, int first, int last) -> std::optional<Cell> {
        const CellStore::RowView cells = store.row(sheet.ShownRow(r + 1) - 1);
        for (int i = first; i < last; ++i) {
            const int c = columns[static_cast<std::size_t>(i)] - 1;
            if (cellHolds(cells.handle(c)))
                return Cell{r + 1, c + 1};
        }
        return std::nullopt;
    };

    if (auto hit = scan(startRow, startIndex, perRow))
        return hit;
    for (int r = (startRow + 1) % rows; r != startRow; r = (r + 1) % rows) {
        if (auto hit = scan(r, 0, perRow)) {
            hit->wrapped = r < startRow;
            return hit;
        }
    }
    auto hit = scan(startRow, 0, startIndex);
    if (hit)
        hit->wrapped = true;
    return hit;
}
