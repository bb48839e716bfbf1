#pragma once

#include "sheet/cellstore.h"

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

// Which rows a spreadsheet's AutoFilter lets through: for each filtered
// column, the texts its cell may read; a row shows when every filtered
// column reads one of its texts. Texts compare exactly, as the grid shows
// them; an empty cell reads as the empty text.
class RowFilter
{
public:
    // Column `col` (1-based) lets through only `texts`; no texts at all
    // lets no row through.
    void set(int col, std::set<std::string> texts);
    // A column's texts made ready to take their place without allocating,
    // for a change that must be whole or not at all: the column is built
    // (which may fail) before anything changes, then set.
    using ColumnTexts = std::map<int, std::set<std::string>>::node_type;
    static ColumnTexts column(int col, std::set<std::string> texts);
    void set(ColumnTexts column) noexcept;
    void clear(int col) noexcept;
    void clearAll() noexcept { columns_.clear(); }

    bool isEmpty() const { return columns_.empty(); }
    bool filters(int col) const { return columns_.contains(col); }
    // The filtered columns, first to last, with their texts.
    const std::map<int, std::set<std::string>>& columns() const { return columns_; }

    // The filter applied to one store's rows: each cell's handle is matched
    // without building text, and an interned message is looked at once.
    class Matcher
    {
    public:
        // Every filtered column but `exceptColumn`, which a column's own
        // filter list leaves out.
        Matcher(const RowFilter& filter, const CellStore& cells, int exceptColumn = 0);
        // The filter as it would be with column `col` letting through
        // `texts`: a new filter is tried before it is set.
        Matcher(const RowFilter& filter, const CellStore& cells, int col,
                const std::set<std::string>& texts);
        // Row is 0-based; a row past the store reads as empty.
        bool accepts(int row) const;

    private:
        struct Column
        {
            int col0;
            // By interned handle (kEmpty included): whether its text passes.
            std::vector<bool> interned;
            std::unordered_set<std::string_view> texts;
        };
        void add(int col, const std::set<std::string>& texts);

        const CellStore& cells_;
        std::vector<Column> columns_;
    };

private:
    std::map<int, std::set<std::string>> columns_;
};
