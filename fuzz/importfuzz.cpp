// Feeds arbitrary bytes to the import as if they were a return file and
// checks that the sheet it builds stays consistent.
#include "fuzz/fuzzimport.h"
#include "sheet/resultsheet.h"
#include "sheet/returnfields.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ResultSheet sheet;
    const CommandOutcome outcome = FuzzImport::into(sheet, data, size);

    if (outcome.succeeded() && outcome.rows != sheet.RowCount())
        std::abort();
    if (sheet.ColCount() < ReturnFields::kCount || sheet.ColCount() > ResultSheet::kMaxColumns)
        std::abort();
    // The first rows and columns and the first past the end tell enough.
    for (int row = 1; row <= std::min(sheet.RowCount(), 64) + 1; ++row) {
        for (int col = 1; col <= std::min(sheet.ColCount(), 64) + 1; ++col) {
            const QString text = sheet.CellText(row, col);
            if (row > sheet.RowCount() && !text.isEmpty())
                std::abort();
            // Lines were split at their ends, so no cell holds one.
            if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')))
                std::abort();
        }
    }
    return 0;
}
