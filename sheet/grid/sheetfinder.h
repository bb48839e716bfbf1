#pragma once

#include "text/latinfolder.h"

#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class ResultSheet;

// Finds a text in the cells the grid shows, as a user types it: case and
// accents do not count, as LatinFolder folds them ("joao" finds "JOÃO",
// "sonia" finds "SÔNIA"), and a CPF, NIS or date typed with its punctuation
// finds its digits ("321.251.573-22" finds "32125157322", "08/06/1967" finds
// "08061967"). The search runs row by row, as shown, through the shown
// columns from the cell after a given one, wraps at the end, and comes back
// to that cell last.
class SheetFinder
{
public:
    struct Cell
    {
        int row;
        int col;
        bool wrapped = false; // found only after going round to the top
    };

    explicit SheetFinder(const QString& text);

    bool isEmpty() const { return needle_.empty(); }
    // The first cell after (row, col) that holds the text; rows count as
    // shown, the row found too.
    std::optional<Cell> findAfter(const ResultSheet& sheet, int row, int col) const;

private:
    bool holds(std::string_view utf8) const;
    bool holds(std::string_view utf8, const std::string& needle) const;

    // Folds a cell that is not ASCII; kept for the next one, whose text it
    // folds into the same buffer.
    mutable LatinFolder folder_;
    std::string needle_; // folded, UTF-8
    // The digits alone of a text of digits and the punctuation of CPFs, NIS
    // and dates; empty for any other text.
    std::string digits_;
};
