#pragma once

#include <string_view>
#include <vector>

class ResultSheet;

// The distinct texts of a column among the rows a filter list offers, each
// with how many of those rows hold it: what a column's "Filtrar…" lists.
class ColumnValues
{
public:
    struct Value
    {
        std::string_view utf8; // the sheet's own bytes, valid until the sheet changes
        int rows = 0;
    };

    // The texts of 1-based column `col` in the rows every other column's
    // filter lets through, most rows first, then in text order. An empty
    // cell counts as the empty text.
    static std::vector<Value> of(const ResultSheet& sheet, int col);
};
