#include "processing/optimizecommand.h"

#include "processing/pathcheck.h"
#include "processing/returncodes.h"
#include "sheet/resultsheet.h"
#include "sheet/returnfields.h"

namespace {
constexpr int kFirstCode = ReturnFields::kFirstCheckColumn;
constexpr int kLastCode = ReturnFields::kOrientationColumn;
} // namespace

CommandOutcome OptimizeCommand::run(const QString& path, ResultSheet& sheet)
{
    // The file is not read, but a path box that names none stops the command
    // before the sheet is touched, as the import does.
    if (const CommandMessage message = PathCheck::check(path); message != CommandMessage::None)
        return {message};

    const int rowLimit = sheet.RowCount();
    sheet.SetAllowEditing(false);
    // All passing rows go in one pass: deleting them one by one, each time
    // moving every row below, is quadratic on a big sheet.
    const int removed = sheet.DeleteRowsWhere([&sheet](int row) {
        return sheet.RangeReads(CellRange{row, kFirstCode, row, kLastCode}, ReturnCodes::kOk);
    });
    const int remaining = rowLimit - removed;
    sheet.SetRowCount(remaining);

    // With no row left every column would pass vacuously: hide none.
    if (remaining > 0) {
        for (int col = kFirstCode; col <= kLastCode; ++col) {
            if (sheet.RangeReads(CellRange{1, col, remaining, col}, ReturnCodes::kOk))
                sheet.SetColumnsHidden(col, col, true);
        }
    }
    sheet.SetActiveCell(1, 1);
    return {CommandMessage::None, remaining};
}
