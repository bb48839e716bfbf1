#include "sheet/export/sheetsummary.h"

#include "sheet/resultsheet.h"
#include "sheet/returnfields.h"
#include "sheet/sheettemplate.h"

#include <algorithm>
#include <unordered_map>

std::vector<SheetSummary::Check> SheetSummary::of(const ResultSheet& sheet)
{
    const CellStore& cells = sheet.Cells();
    const CellStore::Handle ok = cells.findInterned("OK");
    const int last = std::min(ReturnFields::kLastCheckColumn, sheet.ColCount());
    std::vector<Check> checks;
    for (int col = ReturnFields::kFirstCheckColumn; col <= last; ++col) {
        if (sheet.IsColumnHidden(col))
            continue;
        // Counted by handle: a million rows build no text, and the messages
        // are interned, so there are few handles to count.
        std::unordered_map<CellStore::Handle, int> counts;
        for (int row = 0; row < sheet.RowCount(); ++row) {
            const CellStore::Handle h = cells.handle(row, col - 1);
            if (h != ok || ok == CellStore::kEmpty)
                ++counts[h];
        }
        Check check{col, SheetTemplate::heading(col), 0, {}};
        // Text that reads "OK" outside the interned one still passes.
        std::unordered_map<std::string, int> byText;
        for (const auto& [h, workers] : counts)
            byText[std::string(cells.utf8(h))] += workers;
        byText.erase("OK");
        for (const auto& [text, workers] : byText) {
            check.problems += workers;
            check.messages.push_back({QString::fromStdString(text), workers});
        }
        std::sort(check.messages.begin(), check.messages.end(),
                  [](const Message& a, const Message& b) {
                      return a.workers != b.workers ? a.workers > b.workers : a.text < b.text;
                  });
        checks.push_back(std::move(check));
    }
    return checks;
}
