#include "processing/returncounts.h"

#include "processing/returnfilejob.h"
#include "sheet/resultsheet.h"
#include "sheet/sheetsummary.h"

ReturnCounts ReturnCounts::unread(CommandMessage why)
{
    ReturnCounts counts;
    counts.outcome_.message = why;
    return counts;
}

ReturnCounts ReturnCounts::ofFile(const QString& path)
{
    ReturnCounts counts;
    // A sheet of its own, never shown, filtered or with a column hidden, so
    // the Resumo's "shown" rows and columns are the whole file.
    ResultSheet sheet;
    const ReturnFileJob::Done done = ReturnFileJob::run(path, sheet, false);
    counts.outcome_ = done.outcome;
    counts.warning_ = done.warning;
    if (!counts.counted())
        return counts;

    const SheetSummary::Totals totals = SheetSummary::totalsOf(sheet);
    counts.workers_ = totals.workers;
    counts.withProblems_ = totals.withProblems;
    counts.withOrientation_ = totals.withOrientation;
    auto take = [&counts](const std::vector<SheetSummary::Check>& columns) {
        for (const SheetSummary::Check& column : columns) {
            if (column.col >= kFirstColumn && column.col <= kLastColumn)
                counts.notOk_[static_cast<std::size_t>(column.col - kFirstColumn)] =
                    column.problems;
        }
    };
    take(SheetSummary::of(sheet));
    take(SheetSummary::orientationsOf(sheet));
    return counts;
}

int ReturnCounts::notOk(int column) const
{
    if (column < kFirstColumn || column > kLastColumn)
        return 0;
    return notOk_[static_cast<std::size_t>(column - kFirstColumn)];
}
