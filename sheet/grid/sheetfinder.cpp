#include "sheet/grid/sheetfinder.h"

#include "sheet/resultsheet.h"
#include "sheet/showncolumns.h"

#include <algorithm>
#include <cstdint>

SheetFinder::SheetFinder(const QString& text) : needle_(fold(text).toStdString()) {}

QString SheetFinder::fold(const QString& text)
{
    // Compatibility decomposition splits "Ã" into "A" and a combining tilde
    // (and "ﬁ" into "fi"); the marks are then dropped.
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString bare;
    bare.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing &&
            c.category() != QChar::Mark_SpacingCombining && c.category() != QChar::Mark_Enclosing)
            bare.append(c);
    }
    return bare.toCaseFolded();
}

bool SheetFinder::holds(std::string_view utf8) const
{
    // Most cells are ASCII: they are folded here byte by byte; the others go
    // through the full folding.
    folded_.clear();
    for (const char c : utf8) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            folded_ = fold(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())))
                          .toStdString();
            break;
        }
        folded_.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
    }
    return folded_.find(needle_) != std::string::npos;
}

std::optional<SheetFinder::Cell> SheetFinder::findAfter(const ResultSheet& sheet, int row,
                                                        int col) const
{
    const std::vector<int> columns = ShownColumns::of(sheet);
    const int rows = sheet.RowCount();
    const auto perRow = static_cast<std::int64_t>(columns.size());
    const std::int64_t cells = perRow * rows;
    if (needle_.empty() || cells == 0)
        return std::nullopt;

    // Cells in search order are numbered from 0; the search starts at the
    // one after (row, col), or at (row, col)'s place when it is not shown.
    const auto place = std::lower_bound(columns.begin(), columns.end(), col);
    const bool shown = place != columns.end() && *place == col;
    const std::int64_t active = static_cast<std::int64_t>(std::clamp(row, 1, rows) - 1) * perRow +
                                (place - columns.begin());
    const std::int64_t first = active + (shown ? 1 : 0);

    // Most cells are interned messages: each is folded once.
    const CellStore& store = sheet.Cells();
    std::vector<std::int8_t> interned(CellStore::kMaxInterned + 1, -1);
    for (std::int64_t n = 0; n < cells; ++n) {
        const std::int64_t at = (first + n) % cells;
        const int r = static_cast<int>(at / perRow);
        const int c = columns[static_cast<std::size_t>(at % perRow)];
        const CellStore::Handle h = store.handle(r, c - 1);
        if (h == CellStore::kEmpty)
            continue;
        bool hit;
        if (CellStore::isInterned(h)) {
            std::int8_t& known = interned[h];
            if (known < 0)
                known = holds(store.utf8(h)) ? 1 : 0;
            hit = known == 1;
        } else {
            hit = holds(store.utf8(h));
        }
        if (hit)
            return Cell{r + 1, c};
    }
    return std::nullopt;
}
