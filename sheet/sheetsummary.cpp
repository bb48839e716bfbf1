#include "sheet/sheetsummary.h"

#include "sheet/resultsheet.h"
#include "sheet/returnfields.h"
#include "sheet/sheettemplate.h"

#include <algorithm>
#include <unordered_map>

namespace {
// A column's texts other than "OK" with their workers, most first. Counted
// by handle: a million rows build no text, and the messages are interned,
// so there are few handles to count.
SheetSummary::Check count(const ResultSheet& sheet, int col, bool countEmpty)
{
    const CellStore& cells = sheet.Cells();
    const CellStore::Handle ok = cells.findInterned("OK");
    std::unordered_map<CellStore::Handle, int> counts;
    for (int position = 1; position <= sheet.ShownRowCount(); ++position) {
        const CellStore::Handle h = cells.handle(sheet.ShownRow(position) - 1, col - 1);
        if ((h != ok || ok == CellStore::kEmpty) && (countEmpty || h != CellStore::kEmpty))
            ++counts[h];
    }
    SheetSummary::Check check{col, SheetTemplate::heading(col), 0, {}};
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
              [](const SheetSummary::Message& a, const SheetSummary::Message& b) {
                  return a.workers != b.workers ? a.workers > b.workers : a.text < b.text;
              });
    return check;
}

std::vector<SheetSummary::Check> countShown(const ResultSheet& sheet, int first, int last,
                                            bool countEmpty)
{
    std::vector<SheetSummary::Check> checks;
    for (int col = first; col <= std::min(last, sheet.ColCount()); ++col) {
        if (!sheet.IsColumnHidden(col))
            checks.push_back(count(sheet, col, countEmpty));
    }
    return checks;
}
} // namespace

std::vector<SheetSummary::Check> SheetSummary::of(const ResultSheet& sheet)
{
    return countShown(sheet, ReturnFields::kFirstVerificationColumn,
                      ReturnFields::kLastVerificationColumn, true);
}

std::vector<SheetSummary::Check> SheetSummary::orientationsOf(const ResultSheet& sheet)
{
    return countShown(sheet, ReturnFields::kFirstOrientationColumn,
                      ReturnFields::kLastOrientationColumn, false);
}

SheetSummary::Totals SheetSummary::totalsOf(const ResultSheet& sheet)
{
    const CellStore& cells = sheet.Cells();
    // Whether a handle's text reads "OK", each handle looked at once.
    std::unordered_map<CellStore::Handle, bool> passes;
    auto isOk = [&](CellStore::Handle h) {
        const auto [at, added] = passes.try_emplace(h, false);
        if (added)
            at->second = cells.utf8(h) == "OK";
        return at->second;
    };
    const int lastCheck = std::min(ReturnFields::kLastVerificationColumn, sheet.ColCount());
    const int lastOrientation = std::min(ReturnFields::kLastOrientationColumn, sheet.ColCount());
    Totals totals{sheet.ShownRowCount(), 0, 0};
    for (int position = 1; position <= sheet.ShownRowCount(); ++position) {
        const CellStore::RowView worker = cells.row(sheet.ShownRow(position) - 1);
        for (int col = ReturnFields::kFirstVerificationColumn; col <= lastCheck; ++col) {
            if (!isOk(worker.handle(col - 1))) {
                ++totals.withProblems;
                break;
            }
        }
        for (int col = ReturnFields::kFirstOrientationColumn; col <= lastOrientation; ++col) {
            const CellStore::Handle orientation = worker.handle(col - 1);
            if (orientation != CellStore::kEmpty && !isOk(orientation)) {
                ++totals.withOrientation;
                break;
            }
        }
    }
    return totals;
}

std::vector<SheetSummary::Filter> SheetSummary::filtersOf(const ResultSheet& sheet)
{
    std::vector<Filter> filters;
    for (const auto& [col, texts] : sheet.Filter().columns()) {
        Filter filter{SheetTemplate::heading(col), {}};
        for (const std::string& text : texts)
            filter.texts.append(QLatin1Char('"') + QString::fromStdString(text) + QLatin1Char('"'));
        filters.push_back(std::move(filter));
    }
    return filters;
}
