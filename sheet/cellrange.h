#pragma once

// A rectangle of 1-based cells. A range with row2 < row1 (or col2 < col1)
// spans no rows (columns): selecting rows 1 to 0 of an empty sheet is valid.
struct CellRange
{
    int row1 = 1;
    int col1 = 1;
    int row2 = 1;
    int col2 = 1;

    bool hasRows() const { return row2 >= row1; }
    bool contains(int row, int col) const
    {
        return row >= row1 && row <= row2 && col >= col1 && col <= col2;
    }
    friend bool operator==(const CellRange&, const CellRange&) = default;
};
