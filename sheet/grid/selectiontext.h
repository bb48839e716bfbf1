#pragma once

#include "sheet/cellrange.h"

#include <QString>

class ResultSheet;

// A range of the shown rows as the text spreadsheets put on the clipboard: cells
// joined by TAB, each row ended by a newline, hidden columns left out. A cell
// holding a TAB, a line end or a double quote is quoted, its quotes doubled,
// so that pasting it back keeps it one cell.
class SelectionText
{
public:
    // The part of the range past the shown rows or ColCount is not copied.
    static QString of(const ResultSheet& sheet, const CellRange& range);
};
