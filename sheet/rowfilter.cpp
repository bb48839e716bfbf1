#include "sheet/rowfilter.h"

void RowFilter::set(int col, std::set<std::string> texts)
{
    columns_[col] = std::move(texts);
}

void RowFilter::clear(int col)
{
    columns_.erase(col);
}

RowFilter::Matcher::Matcher(const RowFilter& filter, const CellStore& cells, int exceptColumn)
    : cells_(cells)
{
    for (const auto& [col, texts] : filter.columns()) {
        if (col == exceptColumn)
            continue;
        Column column{col - 1, std::vector<bool>(std::size_t(cells.internedCount()) + 1), {}};
        column.texts.reserve(texts.size());
        for (const std::string& text : texts)
            column.texts.insert(text);
        for (CellStore::Handle h = 0; h < column.interned.size(); ++h)
            column.interned[h] = column.texts.contains(cells.utf8(h));
        columns_.push_back(std::move(column));
    }
}

bool RowFilter::Matcher::accepts(int row) const
{
    const CellStore::RowView cells = cells_.row(row);
    for (const Column& column : columns_) {
        const CellStore::Handle h = cells.handle(column.col0);
        const bool passes = h < column.interned.size() ? bool(column.interned[h])
                                                       : column.texts.contains(cells_.utf8(h));
        if (!passes)
            return false;
    }
    return true;
}
