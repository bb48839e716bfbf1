#include "processing/printcommand.h"

#include "sheet/resultsheet.h"

bool PrintCommand::run(ResultSheet& sheet)
{
    sheet.SetSelection(1, 1, sheet.RowCount(), sheet.ColCount());
    sheet.PrintRangeFromSelection();
    // The user sees only the first cell selected again, printed or not.
    sheet.SetSelection(1, 1, 1, 1);
    return sheet.PrintSheet(true);
}
